// tallyvault-cli archive date on cards whose date range cannot be prepared: the
// run fails with a non-zero exit and says why on stderr.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"

namespace tv::test {

TEST_F(CliTest, ADateRangeThatCannotBePreparedFailsWithItsCause) {
    const std::string data = "--data-dir " + DataFolder() + " ";
    const std::string dated = TempPath("dated");
    std::filesystem::create_directories(dated);
    // The card holds its leading blocks only: no date to offer.
    for (const char* family : {"dx", "zt4"}) {
        SCOPED_TRACE(family);
        const std::string image = TempPath(std::string("card-") + family);
        ASSERT_EQ(Cli(data + "make-card --family " + family + " --days 0 --out " + image).status, 0);
        const CliRun r = Cli(data + "--card-image E=" + image +
                             " --yes archive date --card E --from 2015-12-20 --until 2015-12-21 --to " + dated);
        EXPECT_EQ(r.status, 11) << r.out << r.err;
        EXPECT_NE(r.out.find("Creation of archive(s) failed."), std::string::npos) << r.out;
        EXPECT_NE(r.err.find("error: No sufficient data for archiving."), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("error: Start block not found.Date based archive operation failed"), std::string::npos)
            << r.err;
        EXPECT_TRUE(std::filesystem::is_empty(dated));
    }
}

}  // namespace tv::test
