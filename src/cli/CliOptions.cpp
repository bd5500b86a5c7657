#include "cli/CliOptions.h"

#include "platform/Platform.h"

#include <cctype>
#include <string_view>

namespace tv {

const char* const kCliUsage =
    "Usage: tallyvault-cli [OPTIONS] COMMAND [ARGS]\n"
    "\n"
    "Archives and checks the fiscal journal of retail-scale Secure Memory Cards,\n"
    "with the same engine, settings and log as the Tallyvault wizard.\n"
    "\n"
    "Options:\n"
    "  --data-dir DIR      use DIR as the data folder (Tallyvault.ini, Tallyvault.log)\n"
    "                      instead of the system's one; created when missing\n"
    "  --card-image L=DIR  mount the card image folder DIR as drive letter L\n"
    "                      (may be given several times)\n"
    "  --yes, --no         answer every question with Yes or No instead of asking\n"
    "  --help              show this text and exit\n"
    "  --version           show the version and exit\n"
    "\n"
    "Commands:\n"
    "  settings            load (or create) the configuration as start-up does and\n"
    "                      print the effective settings, one 'name = value' a line;\n"
    "                      warnings go to stderr\n"
    "  validate PATH [--archive-log FILE | --card L] [--report FILE] [--json]\n"
    "                      validate a ZT4 archive (PATH ending in .xml), an\n"
    "                      Archive.log (.log) or every .xml archive of the folder\n"
    "                      PATH; prints the result rows (number, file name, result,\n"
    "                      remarks, tab-separated) and the result; a folder (or a\n"
    "                      given --archive-log, validated too) adds the continuity\n"
    "                      lines; --card L takes the Archive.log of the card in\n"
    "                      drive L; exit 0 when valid, 1 when not, 2 when nothing\n"
    "                      could be checked\n"
    "  verify PATH [--card L] [--report FILE] [--all-findings]\n"
    "              [--scale-key HEX|FILE] [--json]\n"
    "                      verify a dX archive (PATH ending in .csv) or every .csv\n"
    "                      file of the folder PATH, standalone or against the card\n"
    "                      in drive L; prints one result row a file (number, file\n"
    "                      name, result, remarks, scale SN, SMC UID, tab-separated),\n"
    "                      the result and, for a folder, the continuity lines;\n"
    "                      --all-findings lists every failing block, --scale-key\n"
    "                      pins the scale's public key (standalone only), --report\n"
    "                      writes the verification report (.html, or .pdf on\n"
    "                      Linux); exit 0 when all verify, 1 when one is changed,\n"
    "                      2 when one could not be checked\n"
    "  make-card --family dx|zt4 --out DIR [--seed N] [--start YYYY-MM-DD]\n"
    "            [--days N] [--receipts-per-day N] [--multi-sector PCT]\n"
    "            [--unclosed-tail [N]] [--split-store] [--store-files N]\n"
    "            [--total-sectors N] [--not-fused] [--empty] [--cust-id XXXX]\n"
    "            [--damage payload|chain|signature|ds-version] [--short-last-sector]\n"
    "            [--origin-incident C|F|P|R] [--closure-sectors N]\n"
    "            [--incident-after-closures]\n"
    "                      write a card image of a dX or ZT4 scale into DIR, made\n"
    "                      from the seed (default 1; from 2015-12-20, 20 closed\n"
    "                      days of 20 receipts, 20% of several sectors); an incident\n"
    "                      block between the origin and its first signature, closures\n"
    "                      of N sectors (1 to 4), an incident after every closure\n"
    "                      group; prints the folder, family, blocks, sectors used and\n"
    "                      the first and last date\n"
    "  make-card --extend DIR --days N\n"
    "                      add N closed days to the card image in DIR, as a scale\n"
    "                      fills its card between two archive runs (the journal\n"
    "                      already there stays as it is); prints the same lines\n"
    "  cards [--json]      list the cards as the card page does: one line a card,\n"
    "                      '<printable UID> (L:)', its family and its fill level\n"
    "                      (when the page would show one), tab-separated; a\n"
    "                      damaged card shows as '(L:)' or its entry, 'corrupt'\n"
    "  archive complete --card L [--to DIR]\n"
    "                      archive the card in drive L completely into the archive\n"
    "                      folder (DIR for this run, else the configured one); the\n"
    "                      questions are asked on the terminal or answered by\n"
    "                      --yes / --no; Ctrl+C aborts and cleans up; prints the\n"
    "                      result rows; exit 0, or the result code of the run\n"
    "  archive continue --card L [--to DIR]\n"
    "                      archive what the card gained since its last archive\n"
    "                      (where SMCProfile.ini says it ended); as complete\n"
    "  archive date --card L --from YYYY-MM-DD --until YYYY-MM-DD [--to DIR]\n"
    "                      archive the card's journal between two dates; prints\n"
    "                      the card's first and last date first; as complete\n"
    "  profile [--card L]  print what SMCProfile.ini knows of the card in drive L\n"
    "                      (or of every card it holds), as the archiving choice\n"
    "                      page shows it\n"
    "  identify --card L [--purpose archive|verify]\n"
    "                      identify the card in drive L as the card page does on\n"
    "                      Next; exit 0 when it is accepted, 1 when it is refused\n"
    "\n"
    "--json (cards, identify, profile, verify, validate, archive) prints one JSON\n"
    "document on stdout instead of the rows and lines.\n"
    "\n"
    "Exit status: 0 on success, 1 for a failed check (a changed or forged file, a\n"
    "refused card), 2 when a file could not be checked (missing, unreadable, not\n"
    "an archive, no archive in the folder), the run's result code (2 to 11) for a\n"
    "failed archive run, 64 for a usage error, 75 when another Tallyvault program\n"
    "is using the data folder.\n";

bool ParseCliOptions(int argc, const char* const* argv, CliOptions& o, std::string& error) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.empty() || arg[0] != '-') break;
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--yes" || arg == "--no") {
            if (o.answer && *o.answer != (arg == "--yes")) {
                error = "--yes and --no exclude each other";
                return false;
            }
            o.answer = arg == "--yes";
        } else if (arg == "--data-dir" || arg == "--card-image") {
            if (i + 1 >= argc || argv[i + 1][0] == 0) {
                error = std::string(arg) + " needs a value";
                return false;
            }
            const std::string value = argv[++i];
            if (arg == "--data-dir") {
                o.dataDir = value;
                continue;
            }
            const auto letter = static_cast<unsigned char>(value[0]);
            if (value.size() < 3 || value[1] != '=' || std::isalpha(letter) == 0) {
                error = "--card-image takes L=DIR, a drive letter and a folder";
                return false;
            }
            o.cardImages.emplace_back(static_cast<char>(std::toupper(letter)), value.substr(2));
        } else {
            error = "unknown option " + std::string(arg);
            return false;
        }
    }
    if (i < argc) o.command = argv[i++];
    // The commands that can print one JSON document take --json anywhere among
    // their arguments; for the others it stays an argument they refuse.
    const bool jsonCommand = o.command == "cards" || o.command == "identify" || o.command == "profile" ||
                             o.command == "verify" || o.command == "validate" || o.command == "archive";
    for (; i < argc; ++i) {
        if (jsonCommand && std::string_view(argv[i]) == "--json") {
            o.json = true;
        } else {
            o.args.emplace_back(argv[i]);
        }
    }
    if (o.command.empty() && !o.help && !o.version) {
        error = "no command given";
        return false;
    }
    return true;
}

namespace {

// A path from the root: of the file system, or where paths start with a drive
// letter, of a drive ("C:\...").
bool IsFromRoot(const std::string& dir, char separator) {
    if (dir.front() == separator) return true;
    return separator == '\\' && dir.size() >= 3 && std::isalpha(static_cast<unsigned char>(dir[0])) &&
           dir[1] == ':' && (dir[2] == '\\' || dir[2] == '/');
}

}  // namespace

bool ResolveDataDir(Platform& platform, std::string& dir, std::string& error) {
    if (dir.empty()) return true;
    const char separator = platform.Separator();
    if (!IsFromRoot(dir, separator)) dir = platform.JoinPath(platform.CurrentDirectory(), dir);
    // Each folder of the path in turn, so that missing parents are made too.
    for (size_t at = dir.find(separator, 1);; at = dir.find(separator, at + 1)) {
        const std::string folder = at == std::string::npos ? dir : dir.substr(0, at);
        if (!folder.empty() && folder.back() != separator && !platform.IsDirectory(folder)) {
            if (platform.Exists(folder)) {
                error = "--data-dir: " + folder + " is not a folder";
                return false;
            }
            if (!platform.CreateDirectory(folder) && platform.LastError() != kErrAlreadyExists) {
                error = "--data-dir: cannot create " + folder + " (E" + std::to_string(platform.LastError()) + ")";
                return false;
            }
        }
        if (at == std::string::npos) break;
    }
    return true;
}

}  // namespace tv
