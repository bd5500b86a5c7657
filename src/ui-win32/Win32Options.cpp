#include "ui-win32/Win32Options.h"

#include "platform/Text.h"

namespace tv {

const char kWin32Usage[] =
    "usage: tallyvault [--data-dir DIR] [--card-image L=DIR]...\n"
    "  --data-dir DIR        keep the configuration and the log in DIR\n"
    "  --card-image L=DIR    show the card image folder DIR as drive L\n";

bool ParseWin32Options(const std::vector<std::u16string>& args, Win32Options& options, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::u16string& arg = args[i];
        if (arg == u"--help") {
            options.help = true;
            continue;
        }
        if (arg != u"--data-dir" && arg != u"--card-image") {
            error = "unknown option '" + Utf16ToUtf8(arg) + "'";
            return false;
        }
        if (i + 1 >= args.size()) {
            error = Utf16ToUtf8(arg) + " needs a value";
            return false;
        }
        const std::u16string& value = args[++i];
        if (arg == u"--data-dir") {
            options.dataDir = ToNarrow(value);
            continue;
        }
        char16_t letter = value.empty() ? u'\0' : value[0];
        if (letter >= u'a' && letter <= u'z') letter = static_cast<char16_t>(letter - u'a' + u'A');
        if (value.size() < 3 || value[1] != u'=' || letter < u'A' || letter > u'Z') {
            error = "--card-image takes L=DIR, with a drive letter L";
            return false;
        }
        options.cardImages.emplace_back(static_cast<char>(letter), ToNarrow(value.substr(2)));
    }
    return true;
}

}  // namespace tv
