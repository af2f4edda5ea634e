// Names of the files that installation places in the data folder, and the readers of its two texts:
// the circuit descriptions and the welcome text, both in the report markup.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kSchemasStreamFile = "stream-schemas.bin";       // record n: schematic of Cn
inline constexpr const char* kMiniaturesStreamFile = "stream-miniatures.bin"; // record n: thumbnail of Cn
inline constexpr const char* kIconsStreamFile = "stream-ec86.bin";            // record n: icon for n tubes
inline constexpr const char* kDescriptionsFile = "schemas2026.txt";
inline constexpr const char* kIntroductionFile = "introduction.txt";
inline constexpr const char* kExamplesFile = "examples.txt"; // the built-in configuration of each circuit
inline constexpr const char* kRemoteIntroductionFile = "introduction.rtf"; // downloaded, never read
inline constexpr const char* kUserManualFile = "Valvenix User Manual.pdf";

// Every file that installation copies into the data folder. The program's own files (databases,
// settings, the downloaded introduction) are not among them.
const std::vector<std::string>& packagedFileNames();

// Text read from a packaged file; error holds the text to show when ok is false.
struct PackagedText {
    bool ok = false;
    std::string text;
    std::string error;
};

// The description of circuit n in a descriptions file's text: the lines after the line "#n" (exactly)
// up to the next line starting with "#", each followed by CR LF, the whole trimmed. Empty when the
// file has no such section. Windows line ends and a leading byte-order mark are tolerated.
std::string extractDescription(std::string_view fileText, int circuit);

// The description of circuit n from "schemas2026.txt" of the data folder. When the file cannot be
// read, error is the system's message naming the file.
PackagedText readCircuitDescription(int circuit);

// "introduction.txt" of the data folder, whole. When it cannot be read, error is
// "Could not load file introduction.rtf" (the name the start-up box has always shown).
PackagedText readIntroduction();
