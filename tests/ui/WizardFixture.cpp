#include "ui/WizardFixture.h"

#include <QDate>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "messages/MemoryResultList.h"
#include "platform/Text.h"
#include "ui/QtPageControls.h"
#include "ui/TallyvaultApp.h"
#include "ui/report/PdfReport.h"
#include "wizard/ReportSaving.h"
#include "support/Zt4Validation.h"
#include "zt4/ArchiveVerifierZT4.h"
#include "zt4/LogVerifierZT4.h"

namespace tv::test {

WizardFixture::WizardFixture() {
    ::setenv("TZ", "UTC", 1);
    char pattern[] = "/tmp/tallyvault-ui-test-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    root_ = made != nullptr ? made : "/tmp";
    dataFolder_ = root_ + "/data";
    real_ = CreateSystemPlatform();
    platform_ = std::make_unique<FaultyPlatform>(*real_);
    platform_->SetNow(1456827302);
    platform_->SetLocale("en-US");
    InstallEnvironment(*platform_, ui_, dataFolder_);
    SetPdfReportWriter(WritePdfReport);
}

WizardFixture::~WizardFixture() {
    window_.reset();
    QtPageControls::SetPicker(nullptr);
    for (char letter = 'A'; letter <= 'Z'; ++letter) platform_->MountCard(letter, {}, nullptr);
    DestroyAppContext();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

void WizardFixture::WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::vector<std::string> WizardFixture::FilesUnder(const std::string& folder, const std::string& ending) {
    std::vector<std::string> paths;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec)) {
        if (e.is_regular_file() && e.path().string().ends_with(ending)) paths.push_back(e.path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

double WizardFixture::Contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor WizardFixture::DarkestPixel(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    QColor darkest = Qt::white;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qGray(c.rgb()) < qGray(darkest.rgb())) darkest = c;
        }
    }
    return darkest;
}

bool WizardFixture::Zt4Validates(const std::string& path) { return test::Zt4Validates(path); }

std::string WizardFixture::LogText() const {
    std::ifstream in(dataFolder_ + "/Tallyvault.log", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WizardFixture::Start(const std::string& scaleType, const std::vector<std::string>& extra) {
    std::filesystem::create_directories(dataFolder_);
    std::vector<std::string> lines = {
        "[Config]", "Language=English", "MaxSizeOfArchiveFileInMB=25", "UseDefaultArchivePath=NO",
        "ArchivePath=" + dataFolder_, "SMCProfilePath=" + dataFolder_, "LogPath=" + dataFolder_,
        "BackupSMCOnArchive=NO", "YearEndsOn=31-Dec", "ScaleType=" + scaleType};
    for (const std::string& o : extra) {
        const std::string key = o.substr(0, o.find('=') + 1);
        bool replaced = false;
        for (std::string& l : lines) {
            if (l.rfind(key, 0) == 0) {
                l = o;
                replaced = true;
            }
        }
        if (!replaced) lines.push_back(o);
    }
    std::string content;
    for (const auto& l : lines) content += l + "\r\n";
    WriteFile(dataFolder_ + "/Tallyvault.ini", content);

    const StartUpResult start = RunStartUpSteps();
    window_ = std::make_unique<QtMasterDlg>();
    AddWizardPages(*window_, start.pageOrder);
    window_->ShowFirstPage();
    window_->show();
    QApplication::processEvents();
}

CardSummary WizardFixture::MountCard(char letter, const CardOptions& options, EmulatorFaults faults) {
    const std::string folder = TempPath(std::string("card-") + letter);
    CardSummary summary;
    std::string error;
    if (!GenerateCard(options, folder, summary, error)) qWarning("card not generated: %s", error.c_str());
    cards_[letter - 'A'] = MountEmulatedCard(*platform_, letter, folder, faults);
    return summary;
}

void WizardFixture::UnmountCard(char letter) {
    platform_->MountCard(letter, {}, nullptr);
    cards_[letter - 'A'].reset();
}

CardOptions WizardFixture::SmallCard(CardFamily family) {
    CardOptions o;
    o.family = family;
    o.days = 2;
    o.receiptsPerDay = 4;
    return o;
}

int WizardFixture::ActiveId() const {
    QtWizardPage* page = window_->ActivePage();
    return page != nullptr ? page->PageId() : 0;
}

void WizardFixture::Pick(QComboBox* list, const QString& start) {
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i).startsWith(start)) {
            list->setCurrentIndex(i);
            return;
        }
    }
    QFAIL("no such entry");
}

bool WizardFixture::LeaveDayWithoutClosure(char letter, const CardSummary& card, const std::string& day) {
    const std::string path = TempPath(std::string("card-") + letter + "/WORMSTOR.DAT");
    std::string store;
    {
        std::ifstream in(path, std::ios::binary);
        store.assign(std::istreambuf_iterator<char>(in), {});
    }
    const QDate next = QDate::fromString(QString::fromStdString(day), Qt::ISODate).addDays(1);
    const std::string moved = next.toString(Qt::ISODate).toStdString() + " 12:00:00";
    // Blocks by their first sector, walked by their sector counts.
    std::vector<size_t> starts;
    for (size_t n = 0; n < card.sectorsUsed && (n + 1) * 512 <= store.size();) {
        const auto* b = reinterpret_cast<const uint8_t*>(store.data()) + n * 512;
        starts.push_back(n * 512);
        const size_t sectors = (b[0] | b[1] | b[2] | b[3]) == 0 ? 1 : static_cast<size_t>((b[15] << 8) | b[16]);
        n += sectors == 0 ? 1 : sectors;
    }
    size_t closure = 0;
    for (size_t i = 1; i < starts.size(); ++i) {
        const size_t b = starts[i];
        if ((store[b] | store[b + 1] | store[b + 2] | store[b + 3]) != 0 && store[b + 8] == 'E' &&
            store.compare(b + 22, 10, day) == 0) {
            closure = i;
        }
    }
    if (closure == 0) return false;
    store.replace(starts[closure] + 22, 19, moved);
    store.replace(starts[closure - 1] + 22, 19, moved);
    WriteFile(path, store);
    return true;
}

int WizardFixture::CancelExitCode() {
    try {
        window_->OnCancel();
    } catch (const ExitRequested& e) {
        return e.code;
    }
    return -1;
}

std::vector<std::string> WizardFixture::TakeShown() {
    std::vector<std::string> texts;
    for (const auto& m : ui_.shown) texts.push_back(ToNarrow(m.text));
    ui_.shown.clear();
    return texts;
}

}  // namespace tv::test
