// The command line of tallyvault.exe, the name of the user's instance, and the
// file types of the pickers.
#include <gtest/gtest.h>

#include "ui-win32/Win32Options.h"
#include "ui-win32/Win32Pickers.h"
#include "ui-win32/Win32SingleInstance.h"

namespace tv {

TEST(Win32OptionsTest, DataFolderAndCardImagesAreRead) {
    Win32Options options;
    std::string error;
    ASSERT_TRUE(ParseWin32Options({u"--data-dir", u"C:\\Data", u"--card-image", u"e=C:\\Cards\\one", u"--card-image",
                                   u"G=D:\\two"},
                                  options, error))
        << error;
    EXPECT_FALSE(options.help);
    EXPECT_EQ(options.dataDir, "C:\\Data");
    ASSERT_EQ(options.cardImages.size(), 2u);
    EXPECT_EQ(options.cardImages[0].first, 'E');
    EXPECT_EQ(options.cardImages[0].second, "C:\\Cards\\one");
    EXPECT_EQ(options.cardImages[1].first, 'G');

    Win32Options help;
    EXPECT_TRUE(ParseWin32Options({u"--help"}, help, error));
    EXPECT_TRUE(help.help);
}

TEST(Win32OptionsTest, WrongCommandLinesAreRefusedWithTheReason) {
    struct Case {
        std::vector<std::u16string> args;
        std::string reason;
    };
    const Case cases[] = {
        {{u"--data-dir"}, "--data-dir needs a value"},
        {{u"--card-image"}, "--card-image needs a value"},
        {{u"--card-image", u"1=C:\\x"}, "--card-image takes L=DIR, with a drive letter L"},
        {{u"--card-image", u"E:C:\\x"}, "--card-image takes L=DIR, with a drive letter L"},
        {{u"--card-image", u"E="}, "--card-image takes L=DIR, with a drive letter L"},
        {{u"/verbose"}, "unknown option '/verbose'"},
    };
    for (const Case& c : cases) {
        Win32Options options;
        std::string error;
        EXPECT_FALSE(ParseWin32Options(c.args, options, error));
        EXPECT_EQ(error, c.reason);
    }
}

TEST(Win32OptionsTest, OneInstanceNamePerUserInTheSession) {
    EXPECT_EQ(InstanceMutexName(u"Tallyvault 2.0.0", u"DOMAIN\\ann"), u"Local\\Tallyvault-2.0.0-DOMAIN-ann");
    const std::u16string name = InstanceMutexName(u"Tallyvault test", u"instance-" + std::u16string(1, u'a' + GetCurrentProcessId() % 26));
    {
        Win32SingleInstance first(name);
        EXPECT_FALSE(first.AlreadyRunning());
        Win32SingleInstance second(name);
        EXPECT_TRUE(second.AlreadyRunning());
    }
    Win32SingleInstance again(name);
    EXPECT_FALSE(again.AlreadyRunning());
}

TEST(Win32OptionsTest, SavedFilesTakeTheExtensionOfTheirType) {
    EXPECT_EQ(FilterExtension(u"*.csv"), u"csv");
    EXPECT_EQ(FilterExtension(u"*.pdf"), u"pdf");
    EXPECT_EQ(FilterExtension(u"*.*"), u"");
    EXPECT_EQ(FilterExtension(u"*"), u"");
    EXPECT_EQ(FilterExtension(u"*.htm;*.html"), u"htm");
    EXPECT_EQ(FilterExtension(u"report"), u"");
}

}  // namespace tv
