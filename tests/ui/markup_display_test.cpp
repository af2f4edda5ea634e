// The markup display: the runs of the parser reach the rich-text document with their face, size,
// weight, slant and colour, attributes carry over between strings, and a clear starts afresh.
#include "ui_test_support.h"

#include "markup/css_classes.h"
#include "ui/markup_display.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace {

struct Piece {
    std::string text;
    bool bold = false;
    bool italic = false;
    QColor colour;
    double size = 0;
};

// The fragments of the document in order, each with the attributes it is shown with.
std::vector<Piece> pieces(const TDisplayMiniHTML& d) {
    std::vector<Piece> out;
    for (QTextBlock b = d.document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat c = f.charFormat();
            out.push_back({f.text().toStdString(), c.fontWeight() >= QFont::Bold, c.fontItalic(),
                           c.foreground().color(), c.fontPointSize()});
        }
    }
    return out;
}

const Piece* find(const std::vector<Piece>& ps, const std::string& text) {
    for (const Piece& p : ps)
        if (p.text == text)
            return &p;
    return nullptr;
}

class MarkupDisplayTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        display = std::make_unique<TDisplayMiniHTML>();
        display->setFont(QFont("Noto Sans", 9));
        display->setClassesCSS(classesFor(MarkupDisplay::SolverDcDetails));
    }
    void TearDown() override {
        display.reset();
        UiTest::TearDown();
    }
    std::unique_ptr<TDisplayMiniHTML> display;
};

} // namespace

TEST_F(MarkupDisplayTest, RunsKeepTheirAttributes) {
    struct Case {
        const char* name;
        const char* markup;
        const char* piece;
        bool bold, italic;
        QColor colour;
        double size; // 0: the display's own
    } cases[] = {
        {"bold between b tags", "a <b>bold</b> c", "bold", true, false, Qt::black, 0},
        {"text after </b> plain", "a <b>bold</b> c", " c", false, false, Qt::black, 0},
        {"class colour and size", "x<css=error>alarm</css>y", "alarm", true, false, QColor(0xFF, 0, 0), 12},
        {"defaults after </css>", "x<css=error>alarm</css>y", "y", false, false, Qt::black, 0},
        {"class replaces the style", "<b>a<css=vn>green", "green", true, false, QColor(0x00, 0x99, 0x00), 0},
        {"grey until </color>", "<color=909090>grey</color>black", "grey", false, false,
         QColor(0x90, 0x90, 0x90), 0},
        {"unknown class clears bold", "<b>x<css=nothing>plain", "plain", false, false, Qt::black, 0},
        {"italic", "<i>slanted</i>", "slanted", false, true, Qt::black, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        display->clearDisplay();
        display->AddString(c.markup);
        const auto ps = pieces(*display);
        const Piece* p = find(ps, c.piece);
        ASSERT_NE(p, nullptr) << "no run \"" << c.piece << "\"";
        EXPECT_EQ(p->bold, c.bold);
        EXPECT_EQ(p->italic, c.italic);
        EXPECT_EQ(p->colour, c.colour);
        EXPECT_DOUBLE_EQ(p->size, c.size > 0 ? c.size : 9);
    }
}

TEST_F(MarkupDisplayTest, PlainTextFollowsTheLineBreaksAndShowsEntities) {
    struct Case {
        const char* markup;
        const char* plain;
    } cases[] = {
        {"one<br>two", "one\ntwo"}, {"one<BR>two", "onetwo"}, {"g<SUB>m</SUB>~", "gm~"},
        {"a&nbsp;b", "a&nbsp;b"},   {"<b>x</b>y", "xy"},      {"tail < no end", "tail < no end"},
    };
    for (const Case& c : cases) {
        display->clearDisplay();
        display->AddString(c.markup);
        EXPECT_EQ(display->plainText(), c.plain) << c.markup;
    }
}

TEST_F(MarkupDisplayTest, AttributesCarryOverUntilTheDisplayIsCleared) {
    display->AddString("<b>first");
    display->AddString("second");
    EXPECT_TRUE(find(pieces(*display), "firstsecond")->bold);
    display->clearDisplay();
    display->AddString("third");
    EXPECT_FALSE(find(pieces(*display), "third")->bold);
}

TEST_F(MarkupDisplayTest, AClassIsDefinedOnce) {
    EXPECT_FALSE(display->AddClasseCSS("error", SetFontCss("", fsItalic, 0x123456, 8)));
    EXPECT_TRUE(display->AddClasseCSS("mine", SetFontCss("", fsItalic, 0x123456, 8)));
    display->AddString("<css=error>still red</css><css=mine>new</css>");
    EXPECT_EQ(find(pieces(*display), "still red")->colour, QColor(0xFF, 0, 0));
    EXPECT_TRUE(find(pieces(*display), "new")->italic);
}

TEST_F(MarkupDisplayTest, UserCannotEditTheReport) {
    display->AddString("report");
    EXPECT_TRUE(display->isReadOnly());
}
