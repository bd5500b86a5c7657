// tallyvault-cli profile [--card L]: what SMCProfile.ini knows of a card, as the
// archiving choice page shows it, or every card entry the file holds.
#include <cstdio>
#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/SmcProfile.h"
#include "cli/CardSelection.h"
#include "cli/Commands.h"
#include "platform/Text.h"
#include "smc/SmcDiscovery.h"

namespace tv {

namespace {

std::string Value(AppContext& ctx, const std::string& path, const std::u16string& section, const char16_t* key) {
    char16_t buffer[300] = {};
    ctx.platform.GetPrivateProfileString(section.c_str(), key, u"", buffer, 300, path);
    return ToNarrow(buffer);
}

// One line per card entry of the file: its section, the scale, the range of the
// last archive and the block a continue run starts at.
int PrintAllEntries(AppContext& ctx) {
    std::string path;
    SmcProfilePath(ctx, path);
    std::unique_ptr<File> file = ctx.platform.OpenFile(path, OpenMode::Read);
    if (!file) {
        std::printf("No SMCProfile.ini (%s)\n", path.c_str());
        return 0;
    }
    std::string text;
    char piece[4096];
    for (int64_t r; (r = file->Read(piece, sizeof piece)) > 0;) {
        text.append(piece, static_cast<size_t>(r));
        if (text.size() > static_cast<size_t>(Platform::kMaxIniFileSize)) {
            std::printf("SMCProfile.ini is too large to be read (%s)\n", path.c_str());
            return 1;
        }
    }
    file.reset();
    int entries = 0;
    for (size_t at = text.find('['); at != std::string::npos; at = text.find('[', at + 1)) {
        if (at != 0 && text[at - 1] != '\n') continue;
        const size_t close = text.find(']', at);
        if (close == std::string::npos) break;
        const std::string name = text.substr(at + 1, close - at - 1);
        if (name.rfind("SMC_", 0) != 0) continue;
        const std::u16string section = ToUtf16(name);
        std::printf("%s\t%s\t%s\t[Previous archive info: %s to %s]\tLastArchivedBlockNum=%s\n", name.c_str(),
                    Value(ctx, path, section, u"ScaleSN").c_str(), Value(ctx, path, section, u"ScaleType").c_str(),
                    Value(ctx, path, section, u"LastArchivedStartDate").c_str(),
                    Value(ctx, path, section, u"LastArchivedEndDate").c_str(),
                    Value(ctx, path, section, u"LastArchivedBlockNum").c_str());
        ++entries;
    }
    if (entries == 0) std::printf("No card in SMCProfile.ini (%s)\n", path.c_str());
    return 0;
}

}  // namespace

int RunProfileCommand(const CliOptions& options) {
    char letter = 0;
    for (size_t i = 0; i < options.args.size(); ++i) {
        if (!TakeCardOption(options.args, i, letter)) {
            std::fprintf(stderr, "tallyvault-cli: tallyvault-cli profile [--card L]\n");
            return kExitUsage;
        }
    }
    RunStartUpSteps();
    AppContext& ctx = GetAppContext();
    if (letter == 0) return PrintAllEntries(ctx);

    ctx.operation = 1;
    bool damaged = false;
    const std::string entry = CardEntryOf(ctx, letter, damaged);
    if (entry.empty()) {
        if (damaged) {
            std::printf("refused: corrupt card in drive %c:\n", letter);
            return 1;
        }
        std::printf("No card in drive %c:\n", letter);
        return kExitUsage;
    }
    if (IdentifySmc(ctx, entry, SmcPurpose::Archiving) != SmcIdentity::Accepted) {
        std::printf("refused: %s\n", entry.c_str());
        return 1;
    }
    std::u16string info;
    switch (CheckSmcProfile(ctx, info)) {
        case ProfileCheck::Valid:
            std::printf("%s\n", ToNarrow(info).c_str());
            std::printf("Continue from last archive: available\n");
            return 0;
        case ProfileCheck::Absent:
            std::printf("No previous archive of this card\n");
            break;
        case ProfileCheck::Invalid:
            std::printf("The card's entry in SMCProfile.ini was not sound: the file was set aside\n");
            break;
        case ProfileCheck::Unreadable:
        case ProfileCheck::Unsupported:
            std::printf("The card could not be read\n");
            break;
    }
    std::printf("Continue from last archive: not available\n");
    return 0;
}

}  // namespace tv
