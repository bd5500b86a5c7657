// A report printed to PDF by a program that has no Qt application of its own,
// as the command line does: a whole PDF with the report's text in it, or
// nothing at all under the chosen name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/AppContext.h"
#include "audit/Report.h"
#include "support/Process.h"
#include "support/TestEnvironment.h"
#include "ui/report/PdfReport.h"

namespace tv {
namespace {

// The poppler tool of that name on the PATH, or empty.
std::string FindTool(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = folder + "/" + name;
        if (!folder.empty() && Sys().Exists(candidate)) return candidate;
    }
    return {};
}

class PdfReportTest : public test::TestEnvironment {
protected:
    std::string Html() {
        FileAudit& file = trail_.Begin("/folder/ledger-2024.csv", "dX");
        file.size = 10;
        file.SetCheck(CheckKind::kHashChain, Verdict::kFailed, u"block 7");
        file.outcome = FileOutcome::kIntegrityFailure;
        ReportInput input;
        input.checkedPath = "/folder";
        input.createdAt = "2026-12-10 05:00:00";
        input.version = "2.0.0";
        input.trail = &trail_;
        return RenderReportHtml(input);
    }
    AuditTrail trail_;
};

TEST_F(PdfReportTest, PrintsTheReportWithoutAnApplicationOfItsOwn) {
    GetAppContext().language = "English";
    const std::string path = TempPath("report.pdf");
    std::u16string error;
    ASSERT_TRUE(WritePdfReport(Html(), path, error)) << std::string(error.begin(), error.end());
    const std::string pdf = ReadFile(path);
    ASSERT_GT(pdf.size(), 500u);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_FALSE(FileExists(Platform::PublishTempName(path)));

    const std::string pdfinfo = FindTool("pdfinfo");
    const std::string pdftotext = FindTool("pdftotext");
    if (pdfinfo.empty() || pdftotext.empty()) GTEST_SKIP() << "poppler-utils not installed";
    const test::ChildResult info = test::RunChild(pdfinfo, {path});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("Pages:"), std::string::npos);
    EXPECT_EQ(info.out.find("Pages:          0"), std::string::npos);
    const test::ChildResult text = test::RunChild(pdftotext, {path, "-"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("ledger-2024.csv"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("FAILED"), std::string::npos);
    EXPECT_NE(text.out.find("Program version"), std::string::npos) << text.out;
}

TEST_F(PdfReportTest, AFolderThatCannotTakeItLeavesNothing) {
    const std::string path = TempPath("missing-folder/report.pdf");
    std::u16string error;
    EXPECT_FALSE(WritePdfReport(Html(), path, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(FileExists(path));
}

}  // namespace
}  // namespace tv
