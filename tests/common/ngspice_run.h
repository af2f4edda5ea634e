// Runs Debian's ngspice in batch mode for the agreement tests, and reads the "name = value" lines it
// prints (measurements and printed values).
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

// ngspice's whole output (stdout and stderr) for a netlist file; empty when it could not start.
inline std::string ngspiceBatchFile(const std::string& path) {
    std::string output;
    if (FILE* pipe = popen((std::string(VALVENIX_NGSPICE) + " -b '" + path + "' 2>&1").c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, pipe))
            output += line;
        pclose(pipe);
    }
    return output;
}

// The same for netlist text, run from a temporary file named after `tag`.
inline std::string ngspiceBatch(const std::string& netlist, const std::string& tag) {
    namespace fs = std::filesystem;
    const fs::path file =
        fs::temp_directory_path() / ("valvenix_ngspice_" + std::to_string(::getpid()) + "_" + tag + ".cir");
    std::ofstream(file) << netlist;
    const std::string output = ngspiceBatchFile(file.string());
    fs::remove(file);
    return output;
}

// The "name = value" lines of an output.
inline std::map<std::string, double> ngspiceValues(const std::string& output) {
    std::map<std::string, double> found;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        char name[64];
        double value = 0;
        if (std::sscanf(line.c_str(), " %63s = %lf", name, &value) == 2)
            found[name] = value;
    }
    return found;
}
