// Every kind of run on cards shaped as scales in the field write them: an
// incident block between the origin and its first signature, closures of
// several sectors, an incident block after every closure group. Each file a run
// writes verifies on its own and against the card (dX) or validates with the
// card's Archive.log (ZT4).
#include <algorithm>
#include <filesystem>
#include <regex>

#include "archive/DateRange.h"
#include "archive/RunFixture.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

class ScaleShapesTest : public test::RunFixture {
protected:
    // The date page and the range of the chosen dates; the run, when the range
    // was found without a question.
    ArchiveRunOutcome Dated(const std::string& from, const std::string& until, CDateRange** range = nullptr) {
        ChooseCard();
        SetArchiveType(*ctx_, 3);
        auto* archiver = dynamic_cast<CDateRange*>(ctx_->currentArchiver.get());
        EXPECT_NE(archiver, nullptr);
        if (archiver == nullptr) return {};
        if (range != nullptr) *range = archiver;
        DayDate first, last;
        EXPECT_TRUE(archiver->PrepareDateRange(&first, &last)) << LogText();
        firstOffered_ = DateText(first);
        lastOffered_ = DateText(last);
        SetDates(from, until);
        ui_.shown.clear();
        if (!archiver->FindBlockRange()) {
            ADD_FAILURE() << "no range " << from << " " << until << LogText();
            return {};
        }
        EXPECT_TRUE(ui_.shown.empty());
        return RunPage();
    }
    static std::vector<std::string> Files(const std::string& folder, const std::string& extension) {
        std::vector<std::string> paths;
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(folder, ec)) {
            if (e.is_regular_file() && e.path().extension() == extension) paths.push_back(e.path().string());
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    // A dX archive checked as the verification page checks it against the card
    // in drive E.
    bool VerifiesAgainstCard(const std::string& path) {
        ctx_->folderInput = 0;
        ctx_->verificationMode = 1;
        CVerifierdX verifier;
        verifier.path = path;
        MemoryResultList rows;
        test::RecordingProgress progress;
        return verifier.VerifyArchives(&progress, &rows, false);
    }
    // The lines of a dX file that verifies both ways.
    std::vector<std::string> VerifiedFileLines(const std::string& path) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(VerifyArchiveFileQuietly(path)) << LogText();
        EXPECT_TRUE(VerifiesAgainstCard(path)) << LogText();
        return FileLines(path);
    }
    // The lines of the one dX file of a folder, which verifies both ways.
    std::vector<std::string> VerifiedLines(const std::string& folder) {
        const auto files = Files(folder, ".csv");
        EXPECT_EQ(files.size(), 1u) << folder;
        return files.empty() ? std::vector<std::string>{} : VerifiedFileLines(files[0]);
    }
    // Every ZT4 file of the folder validates, and so does the card's Archive.log.
    size_t ValidatedFiles(const std::string& folder) {
        const auto files = Files(folder, ".xml");
        for (const std::string& path : files) EXPECT_TRUE(Validates(path)) << path;
        EXPECT_TRUE(Validates(Join(CardFolder('E'), "Archive.log")));
        return files.size();
    }
    static std::string Types(const std::vector<std::string>& lines) {
        std::string types;
        for (const std::string& l : lines) types += TypeOf(l);
        return types;
    }

    std::string firstOffered_;
    std::string lastOffered_;
};

// One shape at a time, and all of them on one card.
struct Shape {
    const char* name;
    char originIncident;
    uint32_t closureSectors;
    bool incidentAfterClosures;
};
constexpr Shape kShapes[] = {{"incident after the origin", 'P', 1, false},
                             {"closures of two sectors", 0, 2, false},
                             {"closures of three sectors", 0, 3, false},
                             {"incident after every closure group", 0, 1, true},
                             {"all of them", 'R', 2, true}};

CardOptions ShapedAs(const Shape& shape, CardFamily family, uint32_t days) {
    CardOptions o;
    o.family = family;
    o.days = days;
    o.receiptsPerDay = 4;
    o.multiSectorPercent = 30;
    o.originIncident = shape.originIncident;
    o.closureSectors = shape.closureSectors;
    o.incidentAfterClosures = shape.incidentAfterClosures;
    return o;
}

// The leading blocks of the card up to its first signature block.
size_t Leading(const Shape& shape) { return shape.originIncident != 0 ? 4 : 3; }

// Runs the body for each shape; a failed assertion ends that shape only.
template <typename Body>
void ForEachShape(Body body) {
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        body(shape);
    }
}

// "O", the incident, "WS": the types of the leading blocks.
std::string LeadingTypes(const Shape& shape) {
    return shape.originIncident != 0 ? std::string("O") + shape.originIncident + "WS" : "OWS";
}

// A closure of several sectors counts from its first sector, where its date
// stands: in the file name, which ends with the last closure's date.
TEST_F(ScaleShapesTest, DxCompleteRunsOfEveryShapeVerify) {
    ForEachShape([&](const Shape& shape) {
        UseFolder(std::string("complete ") + shape.name);
        card_ = MountCard('E', ShapedAs(shape, CardFamily::Dx, 3));
        const ArchiveRunOutcome outcome = Complete();
        ASSERT_TRUE(outcome.success) << outcome.result << LogText();
        const auto files = Files(TempPath(std::string("complete ") + shape.name), ".csv");
        ASSERT_EQ(files.size(), 1u);
        EXPECT_TRUE(std::regex_search(fs::path(files[0]).filename().string(),
                                      std::regex("_20151220[0-9]{4}_20151222[0-9]{4}\\.csv$")))
            << files[0];
        const std::string types = Types(VerifiedLines(TempPath(std::string("complete ") + shape.name)));
        EXPECT_EQ(types.substr(0, Leading(shape) + 2), LeadingTypes(shape) + "WS")
            << types;
    });
}

TEST_F(ScaleShapesTest, DxClosureQuestionShowsTheDateOfTheLastClosure) {
    ForEachShape([&](const Shape& shape) {
        CardOptions o = ShapedAs(shape, CardFamily::Dx, 3);
        o.unclosedTailReceipts = 2;
        card_ = MountCard('E', o);
        const std::string folder = UseFolder(std::string("up to the closure ") + shape.name);
        ui_.answers = {true};
        ui_.shown.clear();
        const ArchiveRunOutcome outcome = Complete();
        ASSERT_TRUE(outcome.success) << outcome.result << LogText();
        ASSERT_EQ(ui_.shown.size(), 1u);
        const std::string question = ToNarrow(ui_.shown.front().text);
        EXPECT_TRUE(std::regex_search(question, std::regex("closure \\[2015-12-22\\]\\[2[01]:[0-5][0-9]\\]\\?$")))
            << question;
        const std::string types = Types(VerifiedLines(folder));
        EXPECT_TRUE(std::regex_search(types, std::regex("EWS[PR]?$"))) << types;
    });
}

TEST_F(ScaleShapesTest, DxSplitCompleteRunsWriteVerifiedParts) {
    ctx_->maxArchiveSize = 24 * 1024;
    ForEachShape([&](const Shape& shape) {
        CardOptions o = ShapedAs(shape, CardFamily::Dx, 8);
        o.receiptsPerDay = 6;
        card_ = MountCard('E', o);
        const std::string folder = UseFolder(std::string("split ") + shape.name);
        const ArchiveRunOutcome outcome = Complete();
        ASSERT_TRUE(outcome.success) << outcome.result << LogText();
        const auto files = Files(folder, ".csv");
        ASSERT_GE(files.size(), 2u);
        EXPECT_EQ(results_.ItemCount(), static_cast<int>(files.size()));
        for (const std::string& path : files) {
            SCOPED_TRACE(path);
            const std::string types = Types(VerifiedFileLines(path));
            // Each part begins with the card's leading blocks, then a W/S pair.
            EXPECT_EQ(types.substr(0, Leading(shape) + 2), LeadingTypes(shape) + "WS")
                << types;
        }
    });
}

TEST_F(ScaleShapesTest, DxContinueRunsTakeWhatTheLastRunLeftOut) {
    ForEachShape([&](const Shape& shape) {
        card_ = MountCard('E', ShapedAs(shape, CardFamily::Dx, 2));
        const std::string name = shape.name;
        UseFolder("first " + name);
        ASSERT_TRUE(Complete().success) << LogText();
        const std::vector<std::string> first = VerifiedLines(TempPath("first " + name));
        Grow(3);
        UseFolder("continued " + name);
        const ArchiveRunOutcome outcome = Continue();
        ASSERT_TRUE(outcome.success) << outcome.result << LogText();
        const std::vector<std::string> next = VerifiedLines(TempPath("continued " + name));
        UseFolder("whole " + name);
        ASSERT_TRUE(Complete().success) << LogText();
        const std::vector<std::string> whole = VerifiedLines(TempPath("whole " + name));

        // The leading blocks, the last W/S pair of the first archive, then every
        // block after that pair once.
        const auto lastW =
            std::find_if(first.rbegin(), first.rend(), [](const std::string& l) { return TypeOf(l) == 'W'; });
        ASSERT_NE(lastW, first.rend());
        const auto pair = static_cast<long>(first.rend() - lastW) - 1;
        const auto lead = static_cast<long>(Leading(shape));
        ASSERT_GE(next.size(), static_cast<size_t>(lead + 2));
        EXPECT_EQ(std::vector<std::string>(next.begin(), next.begin() + lead),
                  std::vector<std::string>(first.begin(), first.begin() + lead));
        EXPECT_EQ(std::vector<std::string>(next.begin() + lead, next.begin() + lead + 2),
                  std::vector<std::string>(first.begin() + pair, first.begin() + pair + 2));
        std::vector<std::string> joined(first.begin(), first.begin() + pair + 2);
        joined.insert(joined.end(), next.begin() + lead + 2, next.end());
        EXPECT_EQ(joined, whole);
    });
}

// A date range ends with the signature block of the end date's closure group:
// an incident after it carries no date and belongs to no range.
TEST_F(ScaleShapesTest, DxDateRangesFromTheStartOrLaterEndWithTheirSignatureBlock) {
    struct Range {
        const char* from;
        const char* until;
        bool fromStart;
    };
    constexpr Range kRanges[] = {{"2015-12-20", "2015-12-22", true},
                                 {"2015-12-21", "2015-12-23", false},
                                 {"2015-12-22", "2015-12-24", false},
                                 {"2015-12-20", "2015-12-24", true}};
    ForEachShape([&](const Shape& shape) {
        card_ = MountCard('E', ShapedAs(shape, CardFamily::Dx, 5));  // 2015-12-20 to 2015-12-24
        UseFolder(std::string("whole ") + shape.name);
        ASSERT_TRUE(Complete().success) << LogText();
        const std::vector<std::string> whole = VerifiedLines(TempPath(std::string("whole ") + shape.name));
        const auto lead = static_cast<long>(Leading(shape));
        for (const Range& r : kRanges) {
            SCOPED_TRACE(std::string(r.from) + " " + r.until);
            const std::string folder = UseFolder(std::string("dated ") + shape.name + " " + r.from + " " + r.until);
            CDateRange* range = nullptr;
            const ArchiveRunOutcome outcome = Dated(r.from, r.until, &range);
            ASSERT_TRUE(outcome.success) << outcome.result << LogText();
            EXPECT_EQ(firstOffered_, "2015-12-20");
            EXPECT_EQ(lastOffered_, "2015-12-24");
            ASSERT_NE(range, nullptr);
            EXPECT_EQ(range->rangeStart == 0, r.fromStart);
            const std::vector<std::string> lines = VerifiedLines(folder);
            ASSERT_GT(lines.size(), 8u);
            EXPECT_TRUE(std::regex_search(Types(lines), std::regex("EWS$"))) << Types(lines);
            EXPECT_NE(lines[lines.size() - 3].find(std::string(";") + r.until + " "), std::string::npos);
            // The journal of the range is the complete archive's, line for line,
            // after the card's leading blocks.
            const auto body = lines.begin() + (r.fromStart ? 0 : lead);
            EXPECT_NE(std::search(whole.begin(), whole.end(), body, lines.end()), whole.end());
            if (!r.fromStart) {
                EXPECT_EQ(std::vector<std::string>(lines.begin(), body),
                          std::vector<std::string>(whole.begin(), whole.begin() + lead));
                EXPECT_EQ(TypeOf(*body), 'W');
            }
        }
    });
}

// ZT4 cards of the same shapes: an incident after the fusing block, closures of
// several sectors, incidents after the closure groups.
TEST_F(ScaleShapesTest, Zt4RunsOfEveryKindAndShapeValidate) {
    ForEachShape([&](const Shape& shape) {
        const std::string name = shape.name;
        card_ = MountCard('E', ShapedAs(shape, CardFamily::Zt4, 2));
        UseFolder("complete " + name);
        ASSERT_TRUE(Complete().success) << LogText();
        EXPECT_EQ(ValidatedFiles(TempPath("complete " + name)), 1u);

        Grow(4);  // to 2015-12-25
        UseFolder("continued " + name);
        ArchiveRunOutcome outcome = Continue();
        ASSERT_TRUE(outcome.success) << outcome.result << LogText();
        EXPECT_EQ(ValidatedFiles(TempPath("continued " + name)), 1u);

        for (const auto& [from, until] : {std::pair{"2015-12-20", "2015-12-22"}, std::pair{"2015-12-22", "2015-12-24"}}) {
            SCOPED_TRACE(std::string(from) + " " + until);
            const std::string folder = UseFolder("dated " + name + " " + from);
            outcome = Dated(from, until);
            ASSERT_TRUE(outcome.success) << outcome.result << LogText();
            EXPECT_EQ(firstOffered_, "2015-12-20");
            EXPECT_EQ(lastOffered_, "2015-12-25");
            EXPECT_EQ(ValidatedFiles(folder), 1u);
        }

        ctx_->maxArchiveSize = 8 * 1024;
        UseFolder("split " + name);
        outcome = Complete();
        ctx_->maxArchiveSize = 25 * 1024 * 1024;
        ASSERT_TRUE(outcome.success) << outcome.result << LogText();
        EXPECT_GE(ValidatedFiles(TempPath("split " + name)), 2u);
    });
}

}  // namespace
}  // namespace tv
