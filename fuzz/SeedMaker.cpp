// Writes the seed corpora of the fuzzers into a folder, one subfolder per
// fuzzer: archives made from generated cards by the archive run, the cards' own
// info and store bytes, block documents of a ZT4 card, signed ZT4 archives and
// Archive.log files, and the configuration and profile the runs leave.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "CardFixture.h"
#include "FuzzEnvironment.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "messages/MemoryResultList.h"
#include "smc/SmcDiscovery.h"
#include "zt4/ArchiveSignatureWriter.h"
#include "zt4/LogSignatureWriter.h"

namespace fs = std::filesystem;
using namespace tv;

namespace {

class NullStatus : public StatusView {
public:
    void SetText(const std::u16string&) override {}
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Put(const fs::path& folder, const std::string& name, const std::string& bytes) {
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

// Archives the whole card at the letter into the folder.
bool ArchiveCard(fuzz::FuzzEnvironment& env, char letter, const std::string& into, uint64_t maxSize) {
    AppContext& ctx = GetAppContext();
    fs::create_directories(into);
    ctx.archivePath = into + "/";
    ctx.maxArchiveSize = maxSize;
    const SmcList list = ScanSmcDrives(ctx);
    const std::string drive = std::string("(") + letter + ":)";
    const std::string* entry = nullptr;
    for (size_t i = 1; i < list.entries.size(); ++i) {
        const std::string& e = list.entries[i];
        if (e.size() >= drive.size() && e.compare(e.size() - drive.size(), drive.size(), drive) == 0) entry = &e;
    }
    if (entry == nullptr || IdentifySmc(ctx, *entry, SmcPurpose::Archiving) != SmcIdentity::Accepted) {
        return false;
    }
    SetArchiveType(ctx, 1);
    MemoryResultList results;
    fuzz::QuietProgress progress;
    NullStatus status;
    (void)env;
    return RunCurrentArchiver(ctx, &progress, &results, &status).success;
}

const char kUid[] = "04A1B2C3D4E5F60718293A4B5C6D7E8F";

std::string Zt4ArchiveBody() {
    std::string s = "<?xml version=\"1.0\"?>\n<ZT4>";
    s += "<fit><cte>2015-01-02 08:00:00</cte><fpg><ssn>K7Q29</ssn><ncd>";
    s += kUid;
    s += "</ncd></fpg></fit>";
    for (int i = 0; i < 4; ++i) {
        s += "<fit><cte>2015-01-02 08:1" + std::to_string(i) + ":00</cte><ftk><amt>10" + std::to_string(i) +
             "</amt></ftk></fit>";
    }
    s += "<fit><cte>2015-01-02 20:00:00</cte><fcd><n>1</n></fcd></fit></ZT4>";
    return s;
}

std::string Zt4LogBody() {
    return std::string("[") + kUid + "]\r\n\r\n" +
           "Scale serial num             : K7Q29\r\n"
           "SMC Unique ID                : " + kUid + "\r\n"
           "Archive file path            : /archives/K7Q29\r\n"
           "Archive start date           : 2015-01-02 08:00:00\r\n"
           "Archive end date             : 2015-01-02 20:00:00\r\n"
           "Archive file name            : 20150102080000_20150102200000.xml\r\n"
           "A.Creation date time         : 2016-03-01 10:15:00\r\n"
           "A.Completion date time       : 2016-03-01 10:15:02\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds OUTPUT-FOLDER\n");
        return 64;
    }
    const fs::path out = argv[1];
    fuzz::FuzzEnvironment& env = fuzz::Env();
    int seeds = 0;

    // dX: the card the card-bound verifier checks against, archived whole and
    // split into parts.
    if (!fuzz::MountGeneratedCard(env, 'E', CardFamily::Dx)) return 1;
    const std::string card = env.Path("card-E");
    for (const auto& [name, maxSize] : {std::pair<std::string, uint64_t>{"whole", 26214400}, {"split", 8 * 1024}}) {
        const std::string folder = env.Path("archives-" + name);
        if (!ArchiveCard(env, 'E', folder, maxSize)) {
            std::fprintf(stderr, "fuzz_seeds: the %s archive of the dX card failed\n", name.c_str());
            return 1;
        }
        for (const auto& e : fs::directory_iterator(folder)) {
            if (e.path().extension() != ".csv") continue;
            const std::string bytes = Slurp(e.path().string());
            Put(out / "DxVerifierFuzzer", name + "-" + e.path().filename().string(), bytes);
            Put(out / "DxCardVerifierFuzzer", name + "-" + e.path().filename().string(), bytes);
            seeds += 2;
        }
    }
    const std::string profile = Slurp(GetDataFolder() + "/SMCProfile.ini");
    const std::string config = Slurp(ConfigFilePath());
    Put(out / "IniConfigFuzzer", "config-and-profile", config + std::string(1, '\0') + profile);
    Put(out / "IniConfigFuzzer", "config-only", config);
    seeds += 2;

    // Raw cards of both families: info sector, then the start of the store.
    if (!fuzz::MountGeneratedCard(env, 'Z', CardFamily::Zt4)) return 1;
    for (const auto& [name, folder] : {std::pair<std::string, std::string>{"dx", card}, {"zt4", env.Path("card-Z")}}) {
        const std::string store = Slurp(folder + "/WORMSTOR.DAT");
        Put(out / "CardIdentityFuzzer", name, Slurp(folder + "/WORMINFO.DAT") + store.substr(0, 64 * 512));
        ++seeds;
        if (name != "zt4") continue;
        // The block documents of the ZT4 card.
        size_t at = 0;
        for (int k = 0; k < 24; ++k) {
            const size_t begin = store.find("<fit>", at);
            const size_t end = begin == std::string::npos ? begin : store.find("</fit>", begin);
            if (end == std::string::npos) break;
            Put(out / "XmlReaderFuzzer", "block-" + std::to_string(k), store.substr(begin, end + 6 - begin));
            ++seeds;
            at = end;
        }
    }

    // Signed ZT4 archive and Archive.log; the validator's first byte picks the kind.
    const std::string archive = env.Path("20150102080000_20150102200000.xml");
    const std::string log = env.Path("Archive.log");
    std::ofstream(archive, std::ios::binary) << Zt4ArchiveBody();
    std::ofstream(log, std::ios::binary) << Zt4LogBody();
    if (!SignArchiveFile(archive) || !SignLogFile(log)) {
        std::fprintf(stderr, "fuzz_seeds: signing the ZT4 seeds failed\n");
        return 1;
    }
    Put(out / "Zt4ValidationFuzzer", "archive", std::string(1, '\0') + Slurp(archive));
    Put(out / "Zt4ValidationFuzzer", "archive-log", std::string(1, '\1') + Slurp(log));
    Put(out / "XmlReaderFuzzer", "archive", Zt4ArchiveBody());
    seeds += 3;

    // The Archive.log a run of the ZT4 card writes on the card (split into
    // several files, several records), and the hand-made one.
    if (!ArchiveCard(env, 'Z', env.Path("archives-zt4"), 2 * 1024)) {
        std::fprintf(stderr, "fuzz_seeds: the archive of the ZT4 card failed\n");
        return 1;
    }
    const std::string cardLog = Slurp(env.Path("card-Z") + "/Archive.log");
    if (cardLog.empty()) {
        std::fprintf(stderr, "fuzz_seeds: the ZT4 card has no Archive.log\n");
        return 1;
    }
    Put(out / "ArchiveLogRecordsFuzzer", "card-log", cardLog);
    Put(out / "ArchiveLogRecordsFuzzer", "signed-log", Slurp(log));
    Put(out / "Zt4ValidationFuzzer", "card-log", std::string(1, '\1') + cardLog);
    seeds += 3;
    std::printf("fuzz_seeds: %d seeds in %s\n", seeds, out.string().c_str());
    return 0;
}
