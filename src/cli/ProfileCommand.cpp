// tallyvault-cli profile [--card L]: what SMCProfile.ini knows of a card, as the
// archiving choice page shows it, or every card entry the file holds.
#include <cstdio>
#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/SmcProfile.h"
#include "cli/CardSelection.h"
#include "cli/CommandOutput.h"
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
int PrintAllEntries(AppContext& ctx, CommandOutput& out) {
    std::string path;
    SmcProfilePath(ctx, path);
    out.Doc()["file"] = JsonText(path);
    nlohmann::json& list = out.Doc()["entries"] = nlohmann::json::array();
    std::unique_ptr<File> file = ctx.platform.OpenFile(path, OpenMode::Read);
    if (!file) {
        out.Line("No SMCProfile.ini (" + path + ")");
        return out.Finish(0);
    }
    std::string text;
    char piece[4096];
    for (int64_t r; (r = file->Read(piece, sizeof piece)) > 0;) {
        text.append(piece, static_cast<size_t>(r));
        if (text.size() > static_cast<size_t>(Platform::kMaxIniFileSize)) {
            out.Line("SMCProfile.ini is too large to be read (" + path + ")");
            return out.Finish(1);
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
        const std::string serial = Value(ctx, path, section, u"ScaleSN");
        const std::string type = Value(ctx, path, section, u"ScaleType");
        const std::string start = Value(ctx, path, section, u"LastArchivedStartDate");
        const std::string end = Value(ctx, path, section, u"LastArchivedEndDate");
        const std::string block = Value(ctx, path, section, u"LastArchivedBlockNum");
        if (out.Json()) {
            list.push_back({{"section", JsonText(name)},
                            {"scaleSerial", JsonText(serial)},
                            {"scaleType", JsonText(type)},
                            {"lastArchivedStartDate", JsonText(start)},
                            {"lastArchivedEndDate", JsonText(end)},
                            {"lastArchivedBlockNum", JsonText(block)}});
        } else {
            std::printf("%s\t%s\t%s\t[Previous archive info: %s to %s]\tLastArchivedBlockNum=%s\n", name.c_str(),
                        serial.c_str(), type.c_str(), start.c_str(), end.c_str(), block.c_str());
        }
        ++entries;
    }
    if (entries == 0) out.Line("No card in SMCProfile.ini (" + path + ")");
    return out.Finish(0);
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
    CommandOutput out("profile", options.json);
    if (letter == 0) return PrintAllEntries(ctx, out);
    nlohmann::json& doc = out.Doc();
    doc["drive"] = std::string(1, letter);
    doc["entry"] = nullptr;
    doc["accepted"] = false;
    doc["profile"] = nullptr;
    doc["info"] = nullptr;
    doc["continueAvailable"] = false;

    ctx.operation = 1;
    bool damaged = false;
    const std::string entry = CardEntryOf(ctx, letter, damaged);
    if (entry.empty()) {
        if (damaged) {
            out.Line("refused: corrupt card in drive " + std::string(1, letter) + ":");
            return out.Finish(1);
        }
        out.Line("No card in drive " + std::string(1, letter) + ":");
        return out.Finish(kExitUsage);
    }
    doc["entry"] = JsonText(entry);
    if (IdentifySmc(ctx, entry, SmcPurpose::Archiving) != SmcIdentity::Accepted) {
        out.Line("refused: " + entry);
        return out.Finish(1);
    }
    doc["accepted"] = true;
    std::u16string info;
    switch (CheckSmcProfile(ctx, info)) {
        case ProfileCheck::Valid:
            doc["profile"] = "valid";
            doc["info"] = JsonText(info);
            doc["continueAvailable"] = true;
            out.Line(ToNarrow(info));
            out.Line("Continue from last archive: available");
            return out.Finish(0);
        case ProfileCheck::Absent:
            doc["profile"] = "absent";
            out.Line("No previous archive of this card");
            break;
        case ProfileCheck::Invalid:
            doc["profile"] = "invalid";
            out.Line("The card's entry in SMCProfile.ini was not sound: the file was set aside");
            break;
        case ProfileCheck::Unreadable:
        case ProfileCheck::Unsupported:
            doc["profile"] = "unreadable";
            out.Line("The card could not be read");
            break;
    }
    out.Line("Continue from last archive: not available");
    return out.Finish(0);
}

}  // namespace tv
