// The settings file "valvenix.ini" in the data folder: typed access to every section and key the
// program uses, immediate writes, and the stored placement of the main, anode-curves and models windows.
#pragma once

#include "solver/window_placement.h"

#include <string>
#include <utility>
#include <vector>

inline constexpr const char* kSettingsFileName = "valvenix.ini";

// Section names.
inline constexpr const char* kMainSection = "Korvessa"; // the application name text
inline constexpr const char* kBodeSection = "Bode";
inline constexpr const char* kPentodeSection = "pentode";
inline constexpr const char* kFormPosDimSection = "FormPosDim";

// Main-section keys of the usage server (read by the application, handed to the telemetry client).
inline constexpr const char* kUsageServerKey = "usageserver";
inline constexpr const char* kUsageOffKey = "usageoff";
// Main-section keys of the addresses the main window's menu opens, with harmless defaults.
inline constexpr const char* kWebSiteKey = "website";
inline constexpr const char* kEmailKey = "email";
inline constexpr const char* kDefaultWebSite = "https://valvenix.example.org/";
inline constexpr const char* kDefaultEmail = "valvenix@example.org";

// The per-circuit section: "C%d", e.g. "C7".
std::string circuitSection(int circuit);

// One settings object on the settings file. Several objects may be open on the same file at once:
// every write reaches the file immediately, so each sees the others' writes. Reads of a missing
// file, section or key, or of a value that is not of the expected type, give the default. The
// data folder is never created here: without it every write is refused (returns false) and
// nothing is written. A file with a line that is neither "[section]" nor "key=value" is never
// rewritten either (that would drop the line): its keys still read, writes are refused, and
// problem() says why. So is a write that would leave a file the reader refuses (a damaged key that
// the writer cannot escape so that it reads back).
class TIniPosDim {
public:
    TIniPosDim() = default; // closed: reads give defaults, writes are refused
    explicit TIniPosDim(const std::string& fileName) { Open(fileName); }
    ~TIniPosDim() { Close(); }
    TIniPosDim(const TIniPosDim&) = delete;
    TIniPosDim& operator=(const TIniPosDim&) = delete;

    // Opens a file of the data folder (the folder is taken as it is at this call).
    void Open(const std::string& fileName = kSettingsFileName);
    void Close();
    bool isOpen() const { return !path_.empty(); }
    const std::string& filePath() const { return path_; }
    // Why writes to the file are refused, for a message; empty when they are not.
    std::string problem() const;

    // Generic access. Integers are decimal; booleans are written "1" / "0" and read as false for
    // the integer 0, true for any other integer, the default for anything else.
    bool hasKey(const std::string& section, const std::string& key) const;
    int readInteger(const std::string& section, const std::string& key, int defaultValue) const;
    bool readBool(const std::string& section, const std::string& key, bool defaultValue) const;
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    bool writeInteger(const std::string& section, const std::string& key, int value);
    bool writeBool(const std::string& section, const std::string& key, bool value);
    bool writeString(const std::string& section, const std::string& key, const std::string& value);
    // Several keys of one section written with a single flush; values as they appear in the file.
    bool writeEntries(const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& entries);

    // Main section.
    int lastCircuit() const; // "lastcircuit", default 0
    bool setLastCircuit(int circuit);
    bool displayHor() const; // "displayhor", default true: library laid out horizontally
    bool setDisplayHor(bool horizontal);
    bool flat() const; // "flat", default true: gallery rather than tree
    bool setFlat(bool gallery);
    int editBorders() const; // "editborders", default 0 (0 none, 1 single)
    bool setEditBorders(int item);
    bool ckbBackground() const; // "ckbbackground", default true: grey edit-box background
    bool setCkbBackground(bool grey);
    int rgBorders() const; // "rgborders", default 0
    bool setRgBorders(int item);
    // "usageserver", default empty: the base URL of the usage server ("https://host:8443"). While it
    // is empty nothing is ever sent.
    std::string usageServer() const;
    bool setUsageServer(const std::string& url);
    // "usageoff", default false: reports switched off, whatever "usageserver" holds. Read as the
    // integers are, and also "true"/"yes"/"on" and "false"/"no"/"off"; any other text means off.
    bool usageOff() const;
    bool setUsageOff(bool off);
    // "website" and "email": the maker's web site and e-mail address; a blank value gives the default.
    std::string webSite() const;
    std::string emailAddress() const;

    // "Bode"/"straycaps", default 0: the stray capacitance per pin is (index + 1) pF.
    int bodeStrayCaps() const;
    bool setBodeStrayCaps(int item);
    // The stray capacitance in farads, the index held to the five choices "1 pF" ... "5 pF".
    double bodeStrayCapFarads() const;

    // "Bode"/"acmode": the arithmetic of the frequency response, 0 "classic (magnitudes)" or 1 "exact
    // (phase)". Absent, it is exact for a new user (no settings file yet) and classic for a file
    // written before the choice existed; any other stored value reads classic.
    int bodeAcMode() const;
    bool setBodeAcMode(int item);
    // Stores "acmode" when it is absent, with the value it reads now. Called once at start-up before
    // anything else writes the file, so that a new user's first file holds exact from then on.
    bool settleBodeAcMode();

    // "pentode"/"vs": the screen voltage text of the anode-curves window, "100" when absent or blank.
    std::string pentodeVs() const;
    bool setPentodeVs(const std::string& text);

    // Window geometry under "FormPosDim", keys "<name>_l", "_t", "_w", "_h".
    SavedPlacement readPlacement(const std::string& windowName) const;
    // The geometry the window takes when shown (see resolvePlacement).
    ScreenRect readForm(const std::string& windowName, int currentWidth, int currentHeight,
                        const ScreenLayout& screens, bool fixedSize = false) const;
    bool storeForm(const std::string& windowName, const ScreenRect& geometry);

private:
    std::string path_;
    bool refusedWrite_ = false; // the last write would have left a file the reader refuses
};
