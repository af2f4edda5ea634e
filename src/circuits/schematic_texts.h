// The schematic descriptions of data/schematics, compiled into the program by the build (the source
// that defines schematicTexts is generated from the files by cmake/embed_schematics.cmake).
#pragma once

#include <vector>

struct SchematicText {
    const char* file; // c01.txt
    int circuit;      // 1..42, from the file name
    const char* text;
};

// Every description, in file-name order.
const std::vector<SchematicText>& schematicTexts();
