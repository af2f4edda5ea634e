// valvenix-cli schematic: PNG at a scale, SVG, and the command lines it refuses.
#include "cli_runner.h"

#include <QFile>
#include <QImage>

TEST_F(CliFixture, SchematicWritesPngAndSvg) {
    const CliRun one = run({"schematic", "C1", "--png", QString::fromStdString(file("c1.png"))});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    const CliRun two =
        run({"schematic", "c1", "--scale", "2", "--png", QString::fromStdString(file("c1x2.png")), "--svg",
             QString::fromStdString(file("c1.svg"))});
    ASSERT_EQ(two.exitCode, 0) << two.err;
    const QImage a(QString::fromStdString(file("c1.png")));
    const QImage b(QString::fromStdString(file("c1x2.png")));
    ASSERT_FALSE(a.isNull());
    ASSERT_FALSE(b.isNull());
    EXPECT_EQ(b.width(), 2 * a.width());
    EXPECT_EQ(b.height(), 2 * a.height());
    EXPECT_GT(a.width(), 400);

    QFile svg(QString::fromStdString(file("c1.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    EXPECT_TRUE(text.contains("<svg"));
    EXPECT_TRUE(text.contains("C1 Common-cathode amplifier, cathode bias"));
    EXPECT_TRUE(text.contains(QString::number(2 * a.width()).toLatin1()));
    EXPECT_TRUE(text.contains("Cin shunted")); // the controls are drawn, their texts kept as text
}

TEST_F(CliFixture, SchematicRefusesBadCommandLines) {
    const std::string png = file("x.png");
    struct Row {
        QStringList args;
        int exit;
        const char* message;
    } rows[] = {
        {{"schematic", "C43", "--png", QString::fromStdString(png)}, 2, "unknown circuit \"C43\""},
        {{"schematic", "X1", "--png", QString::fromStdString(png)}, 2, "unknown circuit"},
        {{"schematic", "C1x", "--png", QString::fromStdString(png)}, 2, "unknown circuit"},
        {{"schematic", "C1"}, 2, "needs a file to write"},
        {{"schematic", "C1", "C2", "--png", QString::fromStdString(png)}, 2, "takes one circuit"},
        {{"schematic", "C1", "--png", QString::fromStdString(png), "--scale", "0"},
         2,
         "the scale is 0.25 to 8"},
        {{"schematic", "C1", "--png", QString::fromStdString(png), "--scale", "100"},
         2,
         "the scale is 0.25 to 8"},
        {{"schematic", "C1", "--png", QString::fromStdString(png), "--scale", "big"}, 2, "--scale"},
        {{"schematic", "C1", "--png", QString::fromStdString(file("missing/dir/x.png"))}, 1, "cannot write"},
        {{"schematic", "C1", "--svg", QString::fromStdString(file("missing/dir/x.svg"))}, 1, "cannot write"},
    };
    for (const Row& r : rows) {
        const CliRun out = run(r.args);
        EXPECT_EQ(out.exitCode, r.exit) << r.args.join(" ").toStdString() << "\n" << out.err;
        EXPECT_NE(out.err.find(r.message), std::string::npos) << out.err;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(png)));
}
