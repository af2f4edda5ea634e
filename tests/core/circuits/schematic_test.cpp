// Schematic descriptions: every shipped description against the catalogue and its own drawing, the
// reader's errors (each naming file and line), what it makes of points, pins, anchors and controls,
// and the checks that find misplaced controls and symbols.
#include "circuits/catalogue.h"
#include "circuits/schematic.h"
#include "circuits/schematic_geometry.h"
#include "circuits/schematic_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int g = kSchematicGrid;

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += l + "\n";
    return out;
}

bool mentions(const std::vector<std::string>& problems, const std::string& part) {
    for (const std::string& p : problems)
        if (p.find(part) != std::string::npos)
            return true;
    return false;
}

// C3's controls (two edit fields both labelled "V", one caption) placed far apart on a 100 x 60 grid,
// so that a fixture only adds what it tests.
std::string c3Controls() {
    return "edit EdVb 2,2\nedit EdVg 2,6\nedit EdRk 2,10\nedit EdRo 2,14\nedit EdRg 2,18\nedit EdCs 2,22\n"
           "edit EdRs 2,26\nedit EdCo 2,30\nedit EdCg 2,34\nselector LBtube 2,38\ncaption \"T1\" 2,42\n"
           "label LabelVk 2,46\nlabel LabelIa 2,50\n";
}

} // namespace

TEST(Schematics, EveryDescriptionReadsAndFitsItsSheet) {
    for (int n = 1; n <= kCircuitCount; ++n) {
        if (!hasSchematic(n)) {
            ADD_FAILURE() << "C" << n << " has no description: write data/schematics/c" << (n < 10 ? "0" : "")
                          << n << ".txt";
            continue;
        }
        try {
            const Schematic& s = schematicOf(n);
            EXPECT_EQ(s.circuit, n);
            EXPECT_EQ(joined(schematicProblems(s)), "") << "C" << n;
        } catch (const SchematicError& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(Schematics, OnlyCircuitNumbersHaveDescriptions) {
    EXPECT_FALSE(hasSchematic(0));
    EXPECT_FALSE(hasSchematic(43));
    EXPECT_THROW(schematicOf(0), std::out_of_range);
    EXPECT_THROW(schematicOf(43), std::out_of_range);
}

TEST(SchematicReader, ErrorsNameFileAndLine) {
    struct Row {
        const char* name;
        const char* text;
        int line;
        const char* message;
    } rows[] = {
        {"unknown symbol", "size 10 10\nresistr R1 1,1 5,1", 2, "unknown symbol \"resistr\""},
        {"unknown control", "size 10 10\n\n# comment\nedit EdRx 1,1", 4, "unknown control \"EdRx\""},
        {"control of another kind", "size 10 10\ncheck EdRa 1,1", 2,
         "EdRa is an edit field (edit), not a check box"},
        {"control placed twice", "size 10 10\nedit EdRa 1,1\nedit EdRa 5,5", 3,
         "placed twice (first on line 2)"},
        {"caption text the sheet lacks", "size 10 10\ncaption \"T2\" 1,1", 2, "no static caption \"T2\""},
        {"letter in a number", "size 1O 10", 1, "bad number \"1O\""},
        {"empty coordinate", "size 10 10\ndot 3,", 2, "bad number \"\""},
        {"number too large", "size 10 10\ndot 1e9,1", 2, "bad number \"1e9\""},
        {"not a number", "size 10 10\ndot nan,1", 2, "bad number \"nan\""},
        {"point without comma", "size 10 10\ndot 3", 2, "bad point \"3\""},
        {"text where a point goes", "size 10 10\nground \"here\"", 2, "expected a point"},
        {"unknown part", "size 10 10\nwire T9.a 1,1", 2, "unknown part \"T9\""},
        {"unknown pin", "size 10 10\ntriode T1 5,5\nwire T1.g2 1,5", 3, "part T1 has no pin \"g2\""},
        {"part named later", "size 20 20\nresistor R1 R2.1 1,1\nresistor R2 1,9 9,9", 2,
         "unknown part \"R2\""},
        {"slanted wire", "size 10 10\nwire 1,1 1,3 2,4", 2,
         "neither horizontal nor vertical (points 2 and 3)"},
        {"zero-length wire", "size 10 10\nwire 1,1 1,1", 2, "zero length"},
        {"slanted resistor", "size 10 10\nresistor R1 1,1 5,5", 2, "resistor R1 is neither"},
        {"resistor too short", "size 10 10\nresistor R1 1,1 2,1", 2, "too short for its body"},
        {"polar resistor", "size 10 10\nresistor R1 1,1 5,1 polar", 2, "unexpected \"polar\""},
        {"unknown tube option", "size 10 10\ntriode T1 5,5 upside", 2, "unexpected \"upside\""},
        {"centre tap of a plain transformer", "size 20 20\ntransformer X1 10,10\nwire X1.ct 2,10", 3,
         "part X1 has no pin \"ct\""},
        {"unknown transformer option", "size 20 20\ntransformer X1 10,10 tapped", 2, "unexpected \"tapped\""},
        {"transformer without a centre", "size 20 20\ntransformer X1", 2, "transformer takes a name"},
        {"speaker too short", "size 20 20\nspeaker SP 5,5 5,8", 2, "speaker SP is too short for its body"},
        {"two anchors", "size 10 10\nedit EdRa 1,1 left right", 2, "one anchor at most"},
        {"part defined twice", "size 10 10\ntriode T1 5,5\n\ntriode T1 8,8", 4,
         "defined twice (first on line 2)"},
        {"bad part name", "size 10 10\nresistor 1R 1,1 5,1", 2, "bad part name \"1R\""},
        {"open quote", "size 10 10\ntext 1,1 \"open", 2, "no closing"},
        {"text without quotes", "size 10 10\ntext 1,1 open", 2, "text takes a point and a quoted text"},
        {"no size", "dot 1,1", 1, "no size line"},
        {"second size", "size 10 10\nsize 5 5", 2, "a second size line"},
        {"size not positive", "size 0 10", 1, "the size must be positive"},
        {"windows line ends keep the count", "size 10 10\r\ndot 1,1\r\nwires 1,1", 3,
         "unknown symbol \"wires\""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        try {
            parseSchematic(r.text, "c01.txt", 1);
            ADD_FAILURE() << "no error";
        } catch (const SchematicError& e) {
            EXPECT_EQ(e.file, "c01.txt");
            EXPECT_EQ(e.line, r.line);
            const std::string expected = "c01.txt:" + std::to_string(r.line) + ": ";
            EXPECT_EQ(std::string(e.what()).rfind(expected, 0), 0u) << e.what();
            EXPECT_NE(std::string(e.what()).find(r.message), std::string::npos) << e.what();
        }
    }
}

TEST(SchematicReader, PointsPinsAndParts) {
    const Schematic s = parseSchematic("# forward reference to a tube\n"
                                       "size 40.5 30\n"
                                       "resistor Ra 10,2 T1.a   # ends on the anode\n"
                                       "wire T1.k 10,20 Ra.1\n"
                                       "triode T1 10,10\n"
                                       "pentode T2 30,10 mirror\n"
                                       "wire T2.g 36,11 36,12.5\n"
                                       "wire T2.g2 20,10\n"
                                       "capacitor C1 1,1 1,5 polar\n"
                                       "text 5,28 \"# not a comment\" centre\n"
                                       "supply 3,3 \"B+\"\n",
                                       "c01.txt", 1);
    EXPECT_EQ(s.width, 324);
    EXPECT_EQ(s.height, 30 * g);
    ASSERT_EQ(s.symbols.size(), 9u);
    const SchematicSymbol& ra = s.symbols[0];
    EXPECT_EQ(ra.kind, SymbolKind::Resistor);
    EXPECT_EQ(ra.line, 3);
    EXPECT_EQ(ra.points[1], (SchematicPoint{10 * g, 10 * g - schematic_geometry::kTriodePin}));
    const SchematicSymbol& w = s.symbols[1];
    ASSERT_EQ(w.points.size(), 3u);
    EXPECT_EQ(w.points[0], (SchematicPoint{10 * g, 10 * g + schematic_geometry::kTriodePin}));
    EXPECT_EQ(w.points[2], (SchematicPoint{10 * g, 2 * g}));
    // A mirrored pentode has its control grid on the right, one unit below the centre, the screen left.
    EXPECT_EQ(s.symbols[4].points[0], (SchematicPoint{30 * g + schematic_geometry::kPentodePin, 11 * g}));
    EXPECT_EQ(s.symbols[4].points[2], (SchematicPoint{36 * g, 100}));
    EXPECT_EQ(s.symbols[5].points[0], (SchematicPoint{30 * g - schematic_geometry::kPentodePin, 10 * g}));
    EXPECT_TRUE(s.symbols[6].polarised);
    EXPECT_EQ(s.symbols[7].text, "# not a comment");
    EXPECT_EQ(s.symbols[7].align, SchematicTextAlign::Centre);
    EXPECT_EQ(s.symbols[8].text, "B+");
}

TEST(SchematicReader, TransformersSpeakersAndFlippedTubes) {
    using namespace schematic_geometry;
    const Schematic s = parseSchematic("size 60 60\n"
                                       "wire OT.p1 30,10 10,10 10,20 T1.a\n"
                                       "transformer OT 32,18 centretap\n"
                                       "triode T1 10,24\n"
                                       "triode T2 10,44 flip\n"
                                       "pentode T3 40,44 mirror flip\n"
                                       "speaker SP OT.s1 OT.s2\n",
                                       "c39.txt", 39);
    ASSERT_EQ(s.symbols.size(), 6u);
    const SchematicSymbol& ot = s.symbols[1];
    EXPECT_EQ(ot.kind, SymbolKind::Transformer);
    EXPECT_TRUE(ot.centreTap);
    const SchematicPoint c{32 * g, 18 * g};
    struct Pin {
        const SchematicSymbol& part;
        const char* name;
        SchematicPoint at;
    } pins[] = {
        {ot, "p1", {c.x - 2 * g, c.y - 4 * g}},
        {ot, "ct", {c.x - 2 * g, c.y}},
        {ot, "p2", {c.x - 2 * g, c.y + 4 * g}},
        {ot, "s1", {c.x + 2 * g, c.y - 2 * g}},
        {ot, "s2", {c.x + 2 * g, c.y + 2 * g}},
        // Upside down: the anode below the envelope, the cathode above, the grid on its side.
        {s.symbols[3], "a", {10 * g, 44 * g + kTriodePin}},
        {s.symbols[3], "k", {10 * g, 44 * g - kTriodePin}},
        {s.symbols[3], "g", {10 * g - kTriodePin, 44 * g}},
        // A mirrored, flipped pentode: control grid right and one unit above the centre, screen left.
        {s.symbols[4], "g1", {40 * g + kPentodePin, 43 * g}},
        {s.symbols[4], "g2", {40 * g - kPentodePin, 44 * g}},
        {s.symbols[4], "a", {40 * g, 44 * g + kPentodePin}},
    };
    for (const Pin& p : pins)
        EXPECT_EQ(pinOf(p.part, p.name), p.at) << p.part.name << "." << p.name;
    EXPECT_EQ(s.symbols[5].kind, SymbolKind::Speaker);
    EXPECT_EQ(s.symbols[5].points[0], *pinOf(ot, "s1"));
    // A transformer's leads are its terminals: only the primary's top is wired here, so the centre tap,
    // the primary's bottom and nothing else stays open (the speaker closes the secondary).
    const std::vector<std::string> problems = schematicProblems(s);
    EXPECT_TRUE(mentions(problems, "transformer OT ends at 30,18 where nothing meets it"))
        << joined(problems);
    EXPECT_TRUE(mentions(problems, "transformer OT ends at 30,22 where nothing meets it"))
        << joined(problems);
    EXPECT_FALSE(mentions(problems, "ends at 34,")) << joined(problems);
    EXPECT_FALSE(mentions(problems, "speaker")) << joined(problems);
}

TEST(SchematicReader, ControlsTakeTheirSizeTextAndAnchor) {
    using namespace schematic_geometry;
    const Schematic s = parseSchematic("size 60 60\n"
                                       "edit EdVg 10,10\n"
                                       "edit EdRk 30,10 right\n"
                                       "caption \"T1\" 20,20 above\n"
                                       "caption \"T1\" 20,30 below\n"
                                       "selector LBtube 30,40 centre\n"
                                       "label LabelIa 10,50 right\n",
                                       "c05.txt", 5);
    ASSERT_EQ(s.placements.size(), 6u);
    const SchematicPlacement& vg = s.placements[0];
    EXPECT_EQ(vg.kind, ControlKind::Edit);
    EXPECT_EQ(vg.label, "V");
    EXPECT_EQ(vg.text, "250");
    EXPECT_EQ(vg.labelWidth, textWidth("V") + kLabelGap);
    EXPECT_EQ(vg.width, vg.labelWidth + kEditBoxWidth);
    EXPECT_EQ(vg.x, 10 * g);
    EXPECT_EQ(vg.y, 10 * g - kEditHeight / 2);
    EXPECT_EQ(vg.widgetRect().x, vg.x + vg.labelWidth);

    const SchematicPlacement& rk = s.placements[1];
    EXPECT_EQ(rk.x + rk.width, 30 * g);
    EXPECT_EQ(rk.text, "1k");

    // Two captions of the same text take the sheet's caption names in order.
    EXPECT_EQ(s.placements[2].control, "Caption1");
    EXPECT_EQ(s.placements[2].y + s.placements[2].height, 20 * g);
    EXPECT_EQ(s.placements[3].control, "Caption2");
    EXPECT_EQ(s.placements[3].y, 30 * g);
    EXPECT_EQ(s.placements[3].text, "T1");

    const SchematicPlacement& tube = s.placements[4];
    EXPECT_EQ(tube.text, "triode");
    EXPECT_EQ(tube.width, kTubeSelectorWidth);
    EXPECT_EQ(tube.x + tube.width / 2, 30 * g);
    EXPECT_EQ(tube.y + tube.height / 2, 40 * g);

    const SchematicPlacement& ia = s.placements[5];
    EXPECT_EQ(ia.kind, ControlKind::Label);
    EXPECT_EQ(ia.text, "");
    EXPECT_EQ(ia.align, SchematicTextAlign::Right);

    // Pentode and plain selectors.
    const Schematic p = parseSchematic("size 60 60\nselector LBtube 2,2\nselector LBYt 2,8\n", "c38.txt", 38);
    EXPECT_EQ(p.placements[0].text, "pentode");
    EXPECT_EQ(p.placements[1].text, "100");
    EXPECT_LT(p.placements[1].width, kTubeSelectorWidth);
}

TEST(SchematicChecks, FindMisplacedControlsAndSymbols) {
    struct Row {
        const char* name;
        std::string extra; // added to C3's well placed controls
        const char* problem;
    } rows[] = {
        {"nothing wrong", "", nullptr},
        {"resistor under a box", "resistor R1 5,1 5,6\n", "resistor R1 runs under EdVb"},
        {"wire under a label", "wire 1,50 40,50\n", "wire runs under LabelIa"},
        {"text under a box", "text 3,10.5 \"note\"\n", "text \"note\" runs under EdRk"},
        {"tube pin outside", "triode T1 98,30\n", "triode T1 lies outside the drawing"},
        {"ground below the edge", "ground 50,59.5\n", "ground lies outside the drawing"},
        {"wire end in the air", "wire 40,10 50,10\n",
         "c03.txt:15: wire ends at 40,10 where nothing meets it"},
        {"part end in the air", "resistor R1 40,10.5 40,20\nground 40,20\n",
         "c03.txt:15: resistor R1 ends at 40,10.5 where nothing meets it"},
        {"tube pin in the air", "triode T1 50,30\n", "triode T1 ends at 50,27 where nothing meets it"},
        {"tee without a dot",
         "wire 40,10 60,10\nground 40,10\nground 60,10\nwire 50,10 50,20\nground 50,20\n",
         "c03.txt:18: three branches or more meet at 50,10 without a dot"},
        {"dot on a plain wire", "wire 40,10 60,10\nground 40,10\nground 60,10\ndot 50,10\n",
         "c03.txt:18: the dot at 50,10 joins fewer than three branches"},
        {"wires crossing without a dot",
         "wire 40,10 60,10\nground 40,10\nground 60,10\nwire 50,5 50,20\n"
         "ground 50,20\nsupply 50,5\n",
         nullptr},
        {"tee with its dot",
         "wire 40,10 60,10\nground 40,10\nground 60,10\nwire 50,10 50,20\nground 50,20\n"
         "dot 50,10\n",
         nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::vector<std::string> problems =
            schematicProblems(parseSchematic("size 100 60\n" + c3Controls() + r.extra, "c03.txt", 3));
        if (!r.problem)
            EXPECT_EQ(joined(problems), "");
        else
            EXPECT_TRUE(mentions(problems, r.problem)) << joined(problems);
    }

    // A control left out, boxes overlapping, a box sticking out of the drawing.
    std::string controls = c3Controls();
    controls.replace(controls.find("edit EdRo 2,14\n"), 15, "edit EdRo 4,11\n");
    controls.replace(controls.find("label LabelIa 2,50\n"), 19, "label LabelIa 97,50\n");
    controls.replace(controls.find("edit EdCg 2,34\n"), 15, "");
    const std::vector<std::string> problems =
        schematicProblems(parseSchematic("size 100 60\n" + controls, "c03.txt", 3));
    EXPECT_TRUE(mentions(problems, "c03.txt:5: EdRo overlaps EdRk (line 4)")) << joined(problems);
    EXPECT_TRUE(mentions(problems, "LabelIa lies outside the drawing")) << joined(problems);
    EXPECT_TRUE(mentions(problems, "c03.txt: EdCg is not placed")) << joined(problems);
    EXPECT_EQ(problems.size(), 3u) << joined(problems);

    // The reader refuses a second placement of a control; a schematic made by hand can still hold one.
    Schematic twice = parseSchematic("size 100 60\n" + c3Controls(), "c03.txt", 3);
    twice.placements.push_back(twice.placements[0]);
    EXPECT_TRUE(mentions(schematicProblems(twice), "c03.txt:2: EdVb is placed twice (first on line 2)"));
}

TEST(SchematicColours, FollowTheSheetCosmetics) {
    struct Row {
        ControlKind kind;
        const char* name;
        std::uint32_t colour;
    } rows[] = {
        {ControlKind::Edit, "EdVb", 0xFF0000},
        {ControlKind::Edit, "EdRa", 0x800000},
        {ControlKind::Edit, "EdZaa", 0x800000},
        {ControlKind::Edit, "EdCk", 0x008000},
        {ControlKind::Edit, "EdIcs", 0x800080},
        {ControlKind::Edit, "EdVref", 0xFF0000},
        {ControlKind::Edit, "EdCko", 0x008000},
        {ControlKind::Label, "LabelVa", 0xFF0000},
        {ControlKind::Label, "LabelIa", 0x800080},
        {ControlKind::Label, "LabelRe", 0x800000},
        {ControlKind::Label, "Label3", 0x000000},
        {ControlKind::Caption, "Caption1", 0x000000},
        {ControlKind::CheckBox, "CheckBoxCkconnected", 0x008080},
        {ControlKind::Selector, "LBtube", 0x000000},
    };
    for (const Row& r : rows)
        EXPECT_EQ(controlColour(r.kind, r.name), r.colour) << r.name;
}
