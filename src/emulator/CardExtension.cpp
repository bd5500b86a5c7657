#include "emulator/CardExtension.h"

#include <algorithm>

#include "app/AppContext.h"
#include "emulator/CardGenerator.h"
#include "emulator/StoreImage.h"
#include "platform/Platform.h"

namespace tv {

namespace {

constexpr uint32_t kMaxStoreFiles = 16;
constexpr size_t kChunk = 1 << 20;

// The store of an image as one sequence of bytes over its store files.
class StoreReader {
public:
    StoreReader(Platform& sys, const std::string& folder) : sys_(sys), folder_(folder) {}
    // Up to n bytes; fewer only at the end of the store.
    size_t Read(uint8_t* data, size_t n) {
        size_t got = 0;
        while (got < n && index_ < kMaxStoreFiles) {
            if (!file_) {
                const std::string path = sys_.JoinPath(folder_, StoreImage::StoreFileName(index_));
                if (!sys_.Exists(path)) break;
                file_ = sys_.OpenFile(path, OpenMode::Read);
                if (!file_) break;
            }
            const int64_t r = file_->Read(data + got, n - got);
            if (r <= 0) {
                file_.reset();
                ++index_;
                continue;
            }
            got += static_cast<size_t>(r);
        }
        return got;
    }

private:
    Platform& sys_;
    std::string folder_;
    uint32_t index_ = 0;
    std::unique_ptr<File> file_;
};

// The first bytes of both stores are the same.
bool SamePrefix(Platform& sys, const std::string& a, const std::string& b, uint64_t bytes) {
    StoreReader ra(sys, a);
    StoreReader rb(sys, b);
    std::vector<uint8_t> ca(kChunk), cb(kChunk);
    while (bytes > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(bytes, kChunk));
        if (ra.Read(ca.data(), n) != n || rb.Read(cb.data(), n) != n) return false;
        if (!std::equal(ca.begin(), ca.begin() + static_cast<std::ptrdiff_t>(n), cb.begin())) return false;
        bytes -= n;
    }
    return true;
}

uint32_t Be32(const std::string& s, size_t at) {
    return (uint32_t{static_cast<uint8_t>(s[at])} << 24) | (uint32_t{static_cast<uint8_t>(s[at + 1])} << 16) |
           (uint32_t{static_cast<uint8_t>(s[at + 2])} << 8) | uint32_t{static_cast<uint8_t>(s[at + 3])};
}

bool ReadWhole(Platform& sys, const std::string& path, std::string& text) {
    auto file = sys.OpenFile(path, OpenMode::Read);
    if (!file) return false;
    text.clear();
    char piece[4096];
    for (int64_t r; (r = file->Read(piece, sizeof piece)) > 0;) text.append(piece, static_cast<size_t>(r));
    return true;
}

// The card files of an image: the store files, the info and command sectors.
std::vector<std::string> CardFileNames() {
    std::vector<std::string> names;
    for (uint32_t k = 0; k < kMaxStoreFiles; ++k) names.push_back(StoreImage::StoreFileName(k));
    names.push_back("WORMINFO.DAT");
    names.push_back("WORMCOMM.DAT");
    return names;
}

}  // namespace

const char* const kCardRecipeName = ".tallyvault-card";

std::vector<std::string> CardOptionsArguments(const CardOptions& o) {
    std::vector<std::string> args = {"--family",
                                     o.family == CardFamily::Dx ? "dx" : "zt4",
                                     "--seed",
                                     std::to_string(o.seed),
                                     "--start",
                                     o.start.Text(),
                                     "--days",
                                     std::to_string(o.days),
                                     "--receipts-per-day",
                                     std::to_string(o.receiptsPerDay),
                                     "--multi-sector",
                                     std::to_string(o.multiSectorPercent),
                                     "--store-files",
                                     std::to_string(o.storeFiles),
                                     "--total-sectors",
                                     std::to_string(o.totalSectors),
                                     "--cust-id",
                                     o.customisationId,
                                     "--closure-sectors",
                                     std::to_string(o.closureSectors)};
    if (o.unclosedTailReceipts != 0) {
        args.push_back("--unclosed-tail");
        args.push_back(std::to_string(o.unclosedTailReceipts));
    }
    if (o.shortLastSector) args.push_back("--short-last-sector");
    if (o.originIncident != 0) {
        args.push_back("--origin-incident");
        args.push_back(std::string(1, o.originIncident));
    }
    if (o.incidentAfterClosures) args.push_back("--incident-after-closures");
    if (!o.fused) args.push_back("--not-fused");
    if (o.empty) args.push_back("--empty");
    if (o.damage != CardDamage::None) {
        args.push_back("--damage");
        args.push_back(DamageName(o.damage));
    }
    return args;
}

bool WriteCardRecipe(const std::string& folder, const CardOptions& options, std::string& error) {
    Platform& sys = Sys();
    std::string text;
    for (const std::string& arg : CardOptionsArguments(options)) text += arg + "\n";
    const std::string path = sys.JoinPath(folder, kCardRecipeName);
    auto file = sys.OpenFile(path, OpenMode::Write);
    if (!file || !file->Write(text.data(), text.size())) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool ExtendCard(const std::string& folder, uint32_t days, CardSummary& summary, std::string& error) {
    Platform& sys = Sys();
    std::string recipe;
    if (!ReadWhole(sys, sys.JoinPath(folder, kCardRecipeName), recipe)) {
        error = "no generator recipe in " + folder + ": only images made by make-card can grow";
        return false;
    }
    std::vector<std::string> args;
    for (size_t at = 0; at < recipe.size();) {
        const size_t end = recipe.find('\n', at);
        args.push_back(recipe.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? recipe.size() : end + 1;
    }
    args.push_back("--out");
    args.push_back(folder);
    CardOptions options;
    std::string ignored;
    if (!ParseCardArguments(args, options, ignored, error)) {
        error = "the generator recipe of " + folder + " is not readable: " + error;
        return false;
    }
    if (options.unclosedTailReceipts != 0 || options.damage != CardDamage::None) {
        error = "a card with an unclosed tail or with damage cannot grow";
        return false;
    }
    std::string info;
    if (!ReadWhole(sys, sys.JoinPath(folder, "WORMINFO.DAT"), info) || info.size() < 28) {
        error = "no readable WORMINFO.DAT in " + folder;
        return false;
    }
    const uint64_t usedBefore = options.empty ? 0 : Be32(info, 24);
    options.empty = false;
    options.days += days;
    if (!ValidateCardOptions(options, error)) return false;

    // The grown card is made beside the image, checked to begin with the whole
    // journal already there, and only then put in place of the card files.
    const std::string staging = folder + ".growing";
    sys.RemoveDirectoryTree(staging);
    if (!GenerateCard(options, staging, summary, error)) {
        sys.RemoveDirectoryTree(staging);
        return false;
    }
    if (!SamePrefix(sys, folder, staging, usedBefore * 512)) {
        sys.RemoveDirectoryTree(staging);
        error = "the grown journal does not begin with the card's journal";
        return false;
    }
    for (const std::string& name : CardFileNames()) {
        const std::string old = sys.JoinPath(folder, name);
        const std::string grown = sys.JoinPath(staging, name);
        if (sys.Exists(old) && !sys.DeleteFile(old)) {
            error = "cannot replace " + old;
            return false;
        }
        if (sys.Exists(grown) && !sys.MoveFile(grown, old)) {
            error = "cannot move " + grown + " to " + old;
            return false;
        }
    }
    const std::string recipePath = sys.JoinPath(folder, kCardRecipeName);
    sys.DeleteFile(recipePath);
    if (!sys.MoveFile(sys.JoinPath(staging, kCardRecipeName), recipePath)) {
        error = "cannot write " + recipePath;
        return false;
    }
    sys.RemoveDirectoryTree(staging);
    return true;
}

}  // namespace tv
