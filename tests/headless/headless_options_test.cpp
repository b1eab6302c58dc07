#include "headless/headless_options.h"

#include <gtest/gtest.h>

namespace {
HeadlessParse parse(QStringList arguments) {
    arguments.prepend(QStringLiteral("orvalis"));
    return parseHeadlessOptions(arguments);
}
} // namespace

TEST(HeadlessOptions, ReadsEveryValueOfAHeadlessRun) {
    const HeadlessParse parsed = parse({"--headless", "--camera", "CCD Simulator guide chip (INDI)",
                                        "--mount=indi://pi:7624/"
                                        "Telescope%20Simulator",
                                        "--port", "65535", "--listen", " Network "});
    ASSERT_TRUE(parsed.options) << parsed.error.toStdString();
    const HeadlessOptions& o = *parsed.options;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.camera, "CCD Simulator guide chip (INDI)");
    EXPECT_EQ(o.mount, "indi://pi:7624/Telescope%20Simulator");
    EXPECT_EQ(o.port, quint16(65535));
    EXPECT_EQ(o.network, true);

    const HeadlessParse local = parse({"--headless", "--port", "1", "--listen", "LOCAL"});
    ASSERT_TRUE(local.options) << local.error.toStdString();
    EXPECT_EQ(local.options->port, quint16(1));
    EXPECT_EQ(local.options->network, false);
}

// Taking darks runs without a display and may name its camera.
TEST(HeadlessOptions, TakingDarksImpliesHeadless) {
    const HeadlessParse parsed = parse({"--take-darks", "7", "--camera", "Webcam 1.0"});
    ASSERT_TRUE(parsed.options) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options->takeDarks, 7);
    EXPECT_TRUE(parsed.options->headless);
    EXPECT_EQ(parsed.options->camera, "Webcam 1.0");
    EXPECT_FALSE(parse({"--headless"}).options->takeDarks);
}

TEST(HeadlessOptions, ListsHelpAndVersionNeedNoHeadless) {
    const HeadlessParse parsed = parse({"--list-cameras", "--list-mounts", "-h", "--version"});
    ASSERT_TRUE(parsed.options) << parsed.error.toStdString();
    const HeadlessOptions& o = *parsed.options;
    EXPECT_TRUE(o.listCameras && o.listMounts && o.help && o.version);
    EXPECT_FALSE(o.headless);
    EXPECT_TRUE(parse({"--help"}).options->help);
}

TEST(HeadlessOptions, BadInputIsOneLineNamingWhatIsWrong) {
    const struct {
        QStringList arguments;
        const char* named;
    } cases[] = {
        {{"--headless", "--bogus"}, "bogus"},
        {{"--headless", "--port", "0"}, "\"0\""},
        {{"--headless", "--port", "65536"}, "\"65536\""},
        {{"--headless", "--port", "44x"}, "\"44x\""},
        {{"--headless", "--port", "-5"}, "\"-5\""},
        {{"--headless", "--listen", "lan"}, "\"lan\""},
        {{"--headless", "--port"}, "port"},
        {{"--headless", "stray"}, "\"stray\""},
        {{"--camera", "Webcam 1.0"}, "--headless"},
        {{"--listen", "network"}, "--headless"},
        {{"--take-darks", "0"}, "\"0\""},
        {{"--take-darks", "101"}, "\"101\""},
        {{"--take-darks", "five"}, "\"five\""},
    };
    for (const auto& c : cases) {
        const HeadlessParse parsed = parse(c.arguments);
        const std::string shown = c.arguments.join(' ').toStdString();
        EXPECT_FALSE(parsed.options) << shown;
        EXPECT_TRUE(parsed.error.contains(QLatin1String(c.named))) << parsed.error.toStdString();
        EXPECT_FALSE(parsed.error.contains(u'\n')) << shown;
    }
}

TEST(HeadlessOptions, HelpNamesEveryOptionWithinEightyColumns) {
    const QString help = headlessHelpText();
    for (const char* option :
         {"--headless", "--camera NAME", "--mount ID", "--port N", "--listen local|network",
          "--take-darks N", "--list-cameras", "--list-mounts", "-h, --help", "--version", "Ctrl+C"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
    for (const QString& line : help.split(u'\n'))
        EXPECT_LE(line.size(), 80) << line.toStdString();
    EXPECT_TRUE(help.contains(QLatin1String("65535")));
}
