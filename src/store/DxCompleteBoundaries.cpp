// The rule set of a complete archive of a dX card.
#include "app/AppContext.h"
#include "log/LogFile.h"
#include "smc/SmcAccess.h"
#include "store/ArchiveResult.h"
#include "store/BlockDecoder.h"
#include "store/BoundaryVerification.h"

namespace tv {

namespace {

constexpr char kFailed[] = "Boundary block verification failed";

class Scanner {
public:
    Scanner(AppContext& ctx, const BoundaryScan& scan) : ctx_(ctx), scan_(scan) {}

    bool Fail(int line, const char* message) const {
        LogFile::Instance().Write(scan_.module, line, kLogError, message);
        return false;
    }
    bool Fail(int line, const char* message, int code, int& result) const {
        result = code;
        return Fail(line, message);
    }
    // The record type of the block header at a sector.
    bool TypeAt(uint32_t sector, char& type) {
        uint8_t bytes[kBlockSectorSize] = {};
        if (!GetSmcBlocks(ctx_, 1, bytes, sector)) return Fail(__LINE__, kFailed);
        WormBlock block;
        if (!DecodeBlockHeader(bytes, ScaleFamily::Dx, sector, block)) return Fail(__LINE__, kFailed);
        type = block.recordType;
        return true;
    }
    void Between() const {
        if (scan_.betweenBlocks) scan_.betweenBlocks();
    }

private:
    AppContext& ctx_;
    const BoundaryScan& scan_;
};

bool IsIncident(char t) { return t == 'C' || t == 'F' || t == 'P' || t == 'R'; }

}  // namespace

bool VerifyDxCompleteBoundaries(AppContext& ctx, uint32_t lastIndex, const BoundaryScan& scan,
                                BlockBoundaries& b, int& result) {
    Scanner s(ctx, scan);
    uint8_t origin[3 * kBlockSectorSize] = {};
    if (!GetSmcBlocks(ctx, 3, origin, 0)) return s.Fail(__LINE__, kFailed);
    WormBlock block;
    if (!DecodeBlockHeader(origin, ScaleFamily::Dx, 0, block)) return s.Fail(__LINE__, kFailed);
    if (block.recordType != 'O') {
        return s.Fail(__LINE__, "Origin of trust block not found ! Boundary block verification failed", kArchiveCorrupted,
                      result);
    }

    // Forward: two signature incident / signature pairs, a header, then the first dated block.
    bool w1 = false, s1 = false, w2 = false, s2 = false, header = false;
    for (uint32_t n = 3; lastIndex > 2 && n <= lastIndex; ++n) {
        s.Between();
        char t = 0;
        if (!s.TypeAt(n, t)) return false;
        if (IsIncident(t)) continue;
        if (t == 'W') {
            (w1 && s1 ? w2 : w1) = true;
        } else if (t == 'S') {
            if (w1 && !s1) {
                s1 = true;
            } else if (!w2) {
                return s.Fail(__LINE__, "Signature block without Signature incident block.Boundary block verification failed",
                              kArchiveCorrupted, result);
            } else {
                s2 = true;
            }
        } else if (t == 'H') {
            if (!s2) {
                return s.Fail(__LINE__, "Header block present without a signature block.Boundary block verification failed",
                              kArchiveCorrupted, result);
            }
            header = true;
        } else if (t == 'T') {
            if (!header) {
                return s.Fail(__LINE__,
                              "Transaction block present without a header block. Boundary block verification failed");
            }
            b.firstBlock = n;
            break;
        } else if (t == 'E' || t == 'U') {
            if (!s2) {
                return s.Fail(__LINE__, t == 'E' ? "Closure block comes without a signature block.Boundary block verification failed"
                                                 : "Usermessage block comes without a signature block.Boundary block verification failed");
            }
            b.firstBlock = n;
            break;
        } else {
            return s.Fail(__LINE__, "Origin of trust block present inbetween.Boundary block verification failed",
                          kArchiveCorrupted, result);
        }
    }
    if (!(w1 && s1 && w2 && s2)) {
        return s.Fail(__LINE__, "Corrupted SMC.Boundary block verification failed", kArchiveCorrupted, result);
    }

    // Backward: the last closure group E, W, S and the incident blocks after it.
    bool sig = false, incident = false, closure = false, other = false;
    uint32_t run = 0;
    ctx.boundaryCheck = true;
    ctx.progressTotal = lastIndex;
    ctx.progressDone = 0;
    struct Done {
        AppContext& ctx;
        ~Done() { ctx.boundaryCheck = false; }
    } done{ctx};
    for (uint32_t n = lastIndex; n >= 2 && !closure; --n) {
        s.Between();
        ++ctx.progressDone;
        char t = 0;
        if (!s.TypeAt(n, t)) return false;
        if (IsIncident(t)) {
            if (!sig) {
                if (run == 0) {
                    b.lastBlock = n;
                    run = 1;
                } else if (b.lastBlock - run == n) {
                    ++run;
                }
            }
        } else if (t == 'S') {
            if (incident || closure) {
                return s.Fail(__LINE__, "Closure block not found.Boundary block verification failed", kArchiveNoClosure, result);
            }
            if (!(run != 0 && b.lastBlock - run == n)) b.lastBlock = n;
            sig = true;
        } else if (t == 'W') {
            if (!sig) {
                return s.Fail(__LINE__, "Signature block not found.Boundary block verification failed", kArchiveNoSignature,
                              result);
            }
            incident = true;
            b.lastIncident = n;
        } else if (t == 'E') {
            if (!incident) return s.Fail(__LINE__, "Signature block not found.Boundary block verification failed");
            closure = true;
            b.lastClosure = n;
        } else {
            other = true;
            run = 0;
        }
        if (n == 2) break;
    }
    if (!closure || other) {
        return s.Fail(__LINE__, "Closure block not found.Boundary block verification failed", kArchiveNoClosure, result);
    }
    if (!incident || !sig) {
        return s.Fail(__LINE__, "Signature block not found.Boundary block verification failed", kArchiveNoSignature, result);
    }
    return true;
}

}  // namespace tv
