// The table of src/circuits/README.md stays true: one row per circuit in registry order, with the
// circuit's title, the file that defines its entry function (or, until the family is converted, the
// circuit's own file) and the function its registry line calls; no circuit file goes unlisted.
#include "text_helpers.h"

#include "circuits/catalogue.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path kCircuits = fs::path(VALVENIX_SOURCE_DIR) / "src" / "circuits";

struct Row {
    int number;
    std::string title, file, entry;
};

std::vector<Row> readmeRows() {
    std::vector<Row> rows;
    std::istringstream in(readAll((kCircuits / "README.md").string()));
    const std::regex row(R"(^\| C(\d+) \| (.+) \| `([^`]+)` \| `([^`]+)` \|$)");
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_match(line, m, row))
            rows.push_back({std::stoi(m[1]), m[2], m[3], m[4]});
    }
    return rows;
}

// The entry functions in the order of the registry table.
std::vector<std::string> registryEntries() {
    const std::string text = readAll((kCircuits / "registry.h").string());
    const std::string table = text.substr(text.find("kCircuits[] = {"));
    std::vector<std::string> entries;
    const std::regex entry(R"(\n\s+(c\d\d\w+),)");
    for (auto it = std::sregex_iterator(table.begin(), table.end(), entry); it != std::sregex_iterator();
         ++it)
        entries.push_back((*it)[1]);
    return entries;
}

bool definesEntry(const fs::path& file, const std::string& entry) {
    return contains(readAll(file.string()), "const CircuitDef& " + entry + "() {");
}

} // namespace

TEST(CircuitsReadme, TableMatchesTheRegistryAndTheFiles) {
    const std::vector<Row> rows = readmeRows();
    const std::vector<std::string> entries = registryEntries();
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kCircuitCount));
    ASSERT_EQ(entries.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE("C" + std::to_string(r.number));
        EXPECT_EQ(r.number, static_cast<int>(i) + 1);
        EXPECT_EQ(r.title, circuitInfo(r.number).title);
        EXPECT_EQ(r.entry, entries[i]);
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "c%02d_", r.number);
        const fs::path file = kCircuits / r.file;
        EXPECT_EQ(file.filename().string().rfind(prefix, 0), 0u) << r.file;
        ASSERT_TRUE(fs::exists(file)) << r.file << " is missing";
        EXPECT_TRUE(definesEntry(file, r.entry)) << r.file << " does not define " << r.entry;
    }
}

TEST(CircuitsReadme, EveryCircuitFileIsListed) {
    std::set<std::string> listed;
    for (const Row& r : readmeRows())
        listed.insert(r.file);
    const std::regex circuitFile(R"(c\d\d_\w+\.cpp)");
    for (const auto& f : fs::recursive_directory_iterator(kCircuits)) {
        if (!std::regex_match(f.path().filename().string(), circuitFile))
            continue;
        EXPECT_TRUE(listed.count(fs::relative(f.path(), kCircuits).generic_string()))
            << f.path() << " is not in README.md";
    }
}
