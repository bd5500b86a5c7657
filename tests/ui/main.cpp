// The wizard's tests, offscreen.
#include <QApplication>
#include <QTest>

#include "ui/ArchivingChoiceTest.h"
#include "ui/CardPageTest.h"
#include "ui/FlowTest.h"
#include "ui/PagePanelTest.h"
#include "ui/RunPagesTest.h"
#include "ui/VerificationPagesTest.h"
#include "ui/WholeFlowTest.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int failed = 0;
    {
        tv::test::FlowTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        tv::test::CardPageTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        tv::test::VerificationPagesTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        tv::test::ArchivingChoiceTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        tv::test::RunPagesTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        tv::test::WholeFlowTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        tv::test::PagePanelTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
