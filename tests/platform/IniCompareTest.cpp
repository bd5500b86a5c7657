// The INI emulation (what systems without private-profile functions use)
// against the real functions of Windows: one sequence of the operations the
// program does on its INI files, run through both on two files, must return
// the same everywhere and leave files that are the same byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "platform/IniEmulation.h"
#include "platform/PlatformFixture.h"
#include "platform/Text.h"
#include "support/Wine.h"

namespace tv {
namespace {

using test::PlatformTest;

// Whole files through the platform's ordinary file calls.
class PlatformIniFiles : public IniFileAccess {
public:
    explicit PlatformIniFiles(Platform& platform) : platform_(platform) {}

    bool ReadIniFile(const std::string& path, std::string& content, int& error) override {
        content.clear();
        auto file = platform_.OpenFile(path, OpenMode::Read);
        if (!file) {
            error = platform_.LastError();
            return false;
        }
        if (file->Size() > Platform::kMaxIniFileSize) {
            error = kErrFileTooLarge;
            return false;
        }
        char buffer[4096];
        for (int64_t n = 0; (n = file->Read(buffer, sizeof buffer)) != 0;) {
            if (n < 0) {
                error = platform_.LastError();
                return false;
            }
            content.append(buffer, static_cast<size_t>(n));
        }
        return true;
    }
    bool WriteIniFile(const std::string& path, const std::string& content, int& error) override {
        auto file = platform_.OpenFile(path, OpenMode::Write);
        if (!file || !file->Write(content.data(), content.size())) {
            error = platform_.LastError();
            return false;
        }
        return true;
    }

private:
    Platform& platform_;
};

// One implementation of the three functions, bound to one file.
class Ini {
public:
    explicit Ini(std::string path) : path(std::move(path)) {}
    virtual ~Ini() = default;
    virtual uint32_t Get(const char16_t* section, const char16_t* key, const char16_t* fallback, char16_t* buffer,
                         uint32_t size) = 0;
    virtual uint32_t GetInt(const char16_t* section, const char16_t* key, int32_t fallback) = 0;
    virtual bool Write(const char16_t* section, const char16_t* key, const char16_t* value) = 0;
    const std::string path;
};

class RealIni : public Ini {
public:
    RealIni(Platform& platform, std::string path) : Ini(std::move(path)), platform_(platform) {}
    uint32_t Get(const char16_t* s, const char16_t* k, const char16_t* d, char16_t* b, uint32_t n) override {
        return platform_.GetPrivateProfileString(s, k, d, b, n, path);
    }
    uint32_t GetInt(const char16_t* s, const char16_t* k, int32_t d) override {
        return platform_.GetPrivateProfileInt(s, k, d, path);
    }
    bool Write(const char16_t* s, const char16_t* k, const char16_t* v) override {
        return platform_.WritePrivateProfileString(s, k, v, path);
    }

private:
    Platform& platform_;
};

class EmulatedIni : public Ini {
public:
    EmulatedIni(Platform& platform, std::string path) : Ini(std::move(path)), files_(platform) {}
    uint32_t Get(const char16_t* s, const char16_t* k, const char16_t* d, char16_t* b, uint32_t n) override {
        return EmulatedGetPrivateProfileString(files_, lastError_, s, k, d, b, n, path);
    }
    uint32_t GetInt(const char16_t* s, const char16_t* k, int32_t d) override {
        return EmulatedGetPrivateProfileInt(files_, lastError_, s, k, d, path);
    }
    bool Write(const char16_t* s, const char16_t* k, const char16_t* v) override {
        return EmulatedWritePrivateProfileString(files_, lastError_, s, k, v, path);
    }

private:
    PlatformIniFiles files_;
    int lastError_ = 0;
};

std::string Shown(std::u16string_view text) {
    std::string out;
    for (const char c : ToNarrow(text)) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\0') {
            out += "\\0";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string Shown(const char16_t* text) { return text == nullptr ? "(none)" : "\"" + Shown(std::u16string_view(text)) + "\""; }

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    return Shown(ToUtf16(bytes));
}

// Lines of a run that wine is known to give otherwise than Windows start so.
constexpr const char* kWineDiffers = "wine differs: ";

// The operations the program does on Tallyvault.ini and SMCProfile.ini, with
// everything they return and the file after every change, as lines of text.
std::vector<std::string> RunSequence(Ini& ini) {
    std::vector<std::string> out;
    const auto write = [&](const char16_t* section, const char16_t* key, const char16_t* value) {
        const bool ok = ini.Write(section, key, value);
        out.push_back("write " + Shown(section) + " " + Shown(key) + " " + Shown(value) + (ok ? ": ok" : ": failed"));
        out.push_back("  file " + FileText(ini.path));
    };
    const auto get = [&](const char16_t* section, const char16_t* key, const char16_t* fallback, uint32_t size,
                         const char* note = "") {
        std::u16string buffer(size, u'#');
        const uint32_t n = ini.Get(section, key, fallback, buffer.data(), size);
        // What the caller may look at: the text and its NUL, for a key list
        // that is not empty the NUL that ends the list as well (and with it
        // the two NULs that end a list cut short).
        const size_t shown = std::min<size_t>(size, n + (key == nullptr && (n > 0 || size == 2) ? 2 : 1));
        out.push_back(note + std::string("get ") + Shown(section) + " " + Shown(key) + " " + Shown(fallback) +
                      " size " + std::to_string(size) + " -> " + std::to_string(n) + " [" +
                      Shown(buffer.substr(0, shown)) + "]");
    };
    const auto getInt = [&](const char16_t* section, const char16_t* key, int32_t fallback) {
        out.push_back("int " + Shown(section) + " " + Shown(key) + " " + std::to_string(fallback) + " -> " +
                      std::to_string(ini.GetInt(section, key, fallback)));
    };
    // What the program does to a non-empty profile before a new card's section.
    const auto appendLineBreak = [&] {
        std::ofstream(ini.path, std::ios::binary | std::ios::app) << "\r\n";
        out.push_back("line break: " + FileText(ini.path));
    };

    // The configuration: created empty, read for its defaults, then filled.
    get(u"Config", u"Language", u"English", 256);
    write(u"Config", u"Language", u"English");
    write(u"Config", u"MaxSizeOfArchiveFileInMB", u"25");
    write(u"Config", u"UseDefaultArchivePath", u"NO");
    write(u"Config", u"ArchivePath", u"C:\\ProgramData\\Mettler Toledo\\Tallyvault");
    write(u"Config", u"SMCProfilePath", u"C:\\ProgramData\\Mettler Toledo\\Tallyvault");
    write(u"Config", u"LogPath", u"C:\\Logs");
    write(u"Config", u"BackupSMCOnArchive", u"NO");
    write(u"Config", u"YearEndsOn", u"31-Dec");
    write(u"Config", u"ScaleType", u"Auto-detect");
    // Values replaced, names in another case.
    write(u"Config", u"Language", u"French");
    write(u"CONFIG", u"maxsizeofarchivefileinmb", u"2048");
    get(u"config", u"LANGUAGE", u"English", 256);
    get(u"Config", u"MaxSizeOfArchiveFileInMB", u"25", 256);
    get(u"Config", nullptr, u"", 1024);
    get(u"Config", u"ArchivePath", u"", 10);
    get(u"Config", nullptr, u"", 30);
    get(u"Config", u"Missing", u"fallback", 256);
    get(u"Config", u"Missing", nullptr, 256);
    get(u"Nowhere", u"Language", u"English", 256);
    get(u"Nowhere", nullptr, u"", 16);

    // The card profiles: a section per card, after a line break.
    appendLineBreak();
    write(u"SMC_04A1B2C3", u"UID", u"04A1B2C3");
    write(u"SMC_04A1B2C3", u"ScaleSN", u"B123456789");
    write(u"SMC_04A1B2C3", u"ScaleType", u"ZT4");
    write(u"SMC_04A1B2C3", u"CustID", u"Shop 12 = Main; North");
    write(u"SMC_04A1B2C3", u"LastArchivedBlockNum", u"1200");
    write(u"SMC_04A1B2C3", u"LastArchivedStartDate", u"2016-01-01");
    write(u"SMC_04A1B2C3", u"LastArchivedEndDate", u"2016-02-29");
    appendLineBreak();
    write(u"SMC_77FF0011", u"UID", u"77FF0011");
    write(u"SMC_77FF0011", u"LastArchivedBlockNum", u"5");
    // A key added to a section that is not the last one.
    write(u"SMC_04A1B2C3", u"Note", u"  padded value  ");
    write(u"SMC_04A1B2C3", u"Quoted", u"\"quoted value\"");
    write(u"SMC_04A1B2C3", u"Empty", u"");
    get(u"smc_04a1b2c3", u"custid", u"", 256);
    get(u"SMC_04A1B2C3", u"Note", u"", 256);
    get(u"SMC_04A1B2C3", u"Quoted", u"", 256);
    get(u"SMC_04A1B2C3", u"Empty", u"fallback", 256);
    get(u"SMC_04A1B2C3", nullptr, u"", 1024);
    get(u"SMC_04A1B2C3", nullptr, u"", 12);
    // Cut short to nothing: Windows still ends the buffer with two NULs, wine with one.
    get(u"SMC_04A1B2C3", nullptr, u"", 2, kWineDiffers);

    // Numbers as the profile may hold them.
    getInt(u"SMC_04A1B2C3", u"LastArchivedBlockNum", 0);
    getInt(u"SMC_04A1B2C3", u"Missing", 0);
    getInt(u"SMC_04A1B2C3", u"Missing", -1);
    getInt(u"Nowhere", u"LastArchivedBlockNum", 7);
    getInt(u"SMC_04A1B2C3", u"Empty", 9);
    getInt(u"SMC_04A1B2C3", u"CustID", 9);
    for (const char16_t* number : {u"-5", u"+42", u" 17", u"12abc", u"abc", u"0x1F", u"0010", u"4294967297",
                                   u"-4294967297", u"99999999999999999999"}) {
        write(u"SMC_77FF0011", u"LastArchivedBlockNum", number);
        getInt(u"SMC_77FF0011", u"LastArchivedBlockNum", 3);
    }

    // A key removed, a section removed, a section written again.
    write(u"SMC_04A1B2C3", u"LastArchivedEndDate", nullptr);
    write(u"SMC_04A1B2C3", u"NotThere", nullptr);
    write(u"smc_77ff0011", nullptr, nullptr);
    write(u"NotThere", nullptr, nullptr);
    get(u"SMC_77FF0011", u"UID", u"gone", 256);
    write(u"SMC_77FF0011", u"UID", u"77FF0011");
    return out;
}

TEST_F(PlatformTest, IniEmulationDoesWhatTheWindowsFunctionsDo) {
    Put(P("real.ini"), "");
    Put(P("emulated.ini"), "");
    RealIni real(*p_, P("real.ini"));
    EmulatedIni emulated(*p_, P("emulated.ini"));
    const std::vector<std::string> expected = RunSequence(real);
    const std::vector<std::string> actual = RunSequence(emulated);
    ASSERT_EQ(actual.size(), expected.size());
    const bool wine = test::RunningUnderWine();
    for (size_t i = 0; i < expected.size(); ++i) {
        if (!wine) {
            EXPECT_EQ(actual[i], expected[i]) << "step " << i;
        } else if (actual[i].rfind(kWineDiffers, 0) != 0) {
            EXPECT_EQ(test::AsWineRewritesIt(actual[i], "\\r\\n"), test::AsWineRewritesIt(expected[i], "\\r\\n"))
                << "step " << i;
        }
    }
    if (wine) {
        EXPECT_EQ(test::AsWineRewritesIt(Read(P("emulated.ini"))), test::AsWineRewritesIt(Read(P("real.ini"))));
    } else {
        EXPECT_EQ(Read(P("emulated.ini")), Read(P("real.ini")));
    }
}

}  // namespace
}  // namespace tv
