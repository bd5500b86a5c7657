// --report: the verification report written beside the run, as HTML or PDF.
#include <gtest/gtest.h>

#include "cli/AuditCliFixture.h"

namespace tv::test {

TEST_F(AuditCliTest, ReportHoldsEveryFileOfTheRun) {
    WriteChanged(Join(folder_, "changed.csv"));
    const std::string html = TempPath("report.html");
    CliRun r = Cli(Data() + "verify " + folder_ + " --report " + html);
    EXPECT_EQ(r.status, 1) << r.err;
    ASSERT_TRUE(FileExists(html)) << r.err;
    const std::string text = ReadFile(html);
    EXPECT_NE(text.find("good.csv"), std::string::npos);
    EXPECT_NE(text.find("changed.csv"), std::string::npos);
    // The rows on stdout are the same as without a report.
    EXPECT_EQ(r.out, Cli(Data() + "verify " + folder_).out);
}

TEST_F(AuditCliTest, ReportThatCannotBeWrittenFailsTheRun) {
    const std::string html = Join(TempPath("no-such-folder"), "report.html");
    CliRun r = Cli(Data() + "verify " + good_ + " --report " + html);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("report"), std::string::npos) << r.err;
    EXPECT_FALSE(FileExists(html));
    // An integrity failure stays what it is.
    const std::string bad = WriteChanged(TempPath("bad.csv"));
    EXPECT_EQ(Cli(Data() + "verify " + bad + " --report " + html).status, 1);
}

#ifdef TV_HAVE_PDF_REPORTS
TEST_F(AuditCliTest, PdfReportIsAPdf) {
    const std::string pdf = TempPath("report.pdf");
    const CliRun r = Cli(Data() + Card() + "verify " + good_ + " --card K --report " + pdf);
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(FileExists(pdf)) << r.err;
    EXPECT_EQ(ReadFile(pdf).rfind("%PDF", 0), 0u);
}
#else
TEST_F(AuditCliTest, PdfReportIsAUsageErrorWithoutThePrinter) {
    const CliRun r = Cli(Data() + "verify " + good_ + " --report " + TempPath("report.pdf"));
    EXPECT_EQ(r.status, 64);
    EXPECT_NE(r.err.find(".html"), std::string::npos) << r.err;
}
#endif

}  // namespace tv::test
