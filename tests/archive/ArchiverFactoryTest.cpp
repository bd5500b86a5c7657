// The archive operation that each kind of run and scale family gets.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "archive/BaseArchiver.h"
#include "archive/CompleteArchiverZT4.h"
#include "archive/CompleteArchiverdX.h"
#include "archive/DateBasedArchiverZT4.h"
#include "archive/DateBasedArchiverdX.h"
#include "archive/PartialArchiverZT4.h"
#include "archive/PartialArchiverdX.h"
#include "messages/MemoryResultList.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class ArchiverFactoryTest : public test::TestEnvironment {};

TEST_F(ArchiverFactoryTest, EachKindAndFamilyGetsItsClass) {
    AppContext& ctx = GetAppContext();
    auto is = [&](auto* typed) { return typed != nullptr; };
    ctx.scaleType = '0';
    SetArchiveType(ctx, 1);
    EXPECT_TRUE(is(dynamic_cast<CCompleteArchiverdX*>(ctx.currentArchiver.get())));
    SetArchiveType(ctx, 2);
    EXPECT_TRUE(is(dynamic_cast<CPartialArchiverdX*>(ctx.currentArchiver.get())));
    SetArchiveType(ctx, 3);
    EXPECT_TRUE(is(dynamic_cast<CDateBasedArchiverdX*>(ctx.currentArchiver.get())));
    EXPECT_STREQ(ctx.currentArchiver->GetArchiveExtension(), ".csv");
    EXPECT_EQ(ctx.archiveType, 3);
    ctx.scaleType = '1';
    SetArchiveType(ctx, 1);
    EXPECT_TRUE(is(dynamic_cast<CCompleteArchiverZT4*>(ctx.currentArchiver.get())));
    SetArchiveType(ctx, 2);
    EXPECT_TRUE(is(dynamic_cast<CPartialArchiverZT4*>(ctx.currentArchiver.get())));
    SetArchiveType(ctx, 3);
    EXPECT_TRUE(is(dynamic_cast<CDateBasedArchiverZT4*>(ctx.currentArchiver.get())));
    EXPECT_STREQ(ctx.currentArchiver->GetBackupExtension(), ".xml.bak");

    // A run without a card open fails at its first step and says so.
    int result = kArchiveOtherFailure;
    MemoryResultList results;
    EXPECT_FALSE(ctx.currentArchiver->Run(nullptr, result, &results, nullptr));
    EXPECT_EQ(result, kArchiveUsageUnreadable);
    EXPECT_NE(LogText().find("Date based archive operation failed"), std::string::npos);

    EXPECT_THROW(SetArchiveType(ctx, 4), ExitRequested);
    EXPECT_NE(LogText().find("Archive Type : 4"), std::string::npos);
    EXPECT_NE(LogText().find("Unexpected Archive type found.Application Aborted"), std::string::npos);
}

}  // namespace
}  // namespace tv
