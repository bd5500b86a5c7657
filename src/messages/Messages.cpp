#include "messages/Messages.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "platform/Text.h"

namespace tv {

namespace {

constexpr char16_t kCaption[] = u"Tallyvault";
constexpr int kRemarksColumn = 3;

int Box(const std::u16string& text, unsigned style) {
    return Ui().MessageBox(text, kCaption, style | kMbTaskModal);
}

bool AskText(const std::u16string& text) {
    return Box(text, kMbIconQuestion | kMbYesNo) == kIdYes;
}

std::u16string Decimal(long long value) { return ToUtf16(std::to_string(value)); }

void SetRemark(ResultList* list, const std::u16string& text) {
    if (list == nullptr || list->ItemCount() == 0) return;
    list->SetCell(list->ItemCount() - 1, kRemarksColumn, text);
}

}  // namespace

MessageLanguage SelectedLanguage() {
    const std::string language =
        HasAppContext() ? GetAppContext().language : LanguageFromLocale(Sys().UserLocaleName());
    return language == "French" ? MessageLanguage::French : MessageLanguage::English;
}

std::u16string GetMessageText(MessageId id) {
    const MessageTable& table = MessageTable::Builtin();
    std::u16string text;
    if (table.Find(SelectedLanguage(), id, text)) return text;
    if (table.FindFallback(id, text)) return text;
    return u"Undefined string";
}

void ShowMessage(MessageId id, unsigned style) { Box(GetMessageText(id), style); }

bool AskYesNo(MessageId id, unsigned style) {
    return Box(GetMessageText(id), style | kMbYesNo) == kIdYes;
}

bool AskReplaceFile(const std::u16string& name) {
    return AskText(GetMessageText(214) + name + GetMessageText(170));
}

bool AskDateQuestion(MessageId first, const std::u16string& tail, MessageId second, int64_t time) {
    std::tm tm{};
    int year = 0;
    int month = 0;
    int day = 0;
    if (Sys().ToLocalTime(time, tm)) {
        year = tm.tm_year + 1900;
        month = tm.tm_mon + 1;
        day = tm.tm_mday;
    }
    const std::u16string date = Decimal(year) + u"-" + Decimal(month) + u"-" + Decimal(day);
    return AskText(GetMessageText(first) + date + GetMessageText(second) + tail + u"?");
}

bool AskArchiveUntilClosure(const std::u16string& text) {
    return AskText(GetMessageText(241) + u"[" + text + u"]?");
}

std::u16string PleaseWaitText(MessageId step) {
    std::u16string text = GetMessageText(125);
    if (text.size() <= 51) text.append(5, u' ');
    text.append(20, u' ');
    const std::u16string stepText = GetMessageText(step);
    if (stepText.size() <= 10) text.append(11 - stepText.size(), u' ');
    return text + u"(" + stepText + u".....)";
}

void SetPleaseWaitText(StatusView* window, MessageId step) {
    if (window != nullptr) window->SetText(PleaseWaitText(step));
}

std::u16string ProgressText() {
    const AppContext& ctx = GetAppContext();
    return GetMessageText(124) + u" (" + Decimal(ctx.progressDone) + u"/" + Decimal(ctx.progressTotal) + u")...";
}

void SetProgressText(StatusView* window) {
    if (window != nullptr) window->SetText(ProgressText());
}

std::u16string PathMessageText(const std::string& path) {
    std::u16string text = GetMessageText(150) + u" (" + ToUtf16(path) + u")";
    constexpr size_t kLongest = 72;
    constexpr size_t kLastKept = 67;
    if (text.size() < kLongest) return text;
    size_t end = kLastKept + 1;
    while (end > 0 && (text[end - 1] == u' ' || text[end - 1] == u'\\' || text[end - 1] == u'/')) --end;
    text.resize(end);
    return text + u"....)";
}

void SetResultCell(ResultList* list, int column, MessageId id, int row) {
    if (list == nullptr) return;
    if (row < 0) row = list->ItemCount() - 1;
    if (row < 0) return;
    list->SetCell(row, column, GetMessageText(id));
}

void SetFileErrorRemark(ResultList* list, const std::string& path, MessageId id, int error) {
    if (list == nullptr) return;
    const std::u16string widePath = ToUtf16(path);
    switch (error) {
        case kErrFileNotFound:
            SetRemark(list, widePath + u"(" + GetMessageText(177) + u")");
            break;
        case kErrAccessDenied: {
            uint32_t attributes = 0;
            const bool known = Sys().GetAttributes(path, attributes);
            if (!known || (attributes & (kAttrReadOnly | kAttrHidden)) != 0) {
                SetRemark(list, GetMessageText(237) + u"-" + GetMessageText(id));
            }
            break;
        }
        case kErrDiskFull:
            SetRemark(list, GetMessageText(221) + u" " + widePath);
            break;
        default:
            SetRemark(list, GetMessageText(id) + u"-" + GetMessageText(222) + u"(E" +
                                Decimal(error) + u")");
            break;
    }
}

void ReportBackupFolderError(ResultList* list, int module, int line, int error,
                             const std::string& path) {
    LogFile& log = LogFile::Instance();
    switch (error) {
        case kErrPathNotFound:
            SetRemark(list, GetMessageText(226) + u"(" + ToUtf16(path) + u")");
            log.Write(module, line, kLogError, "Archive backup path not found");
            break;
        case kErrDiskFull:
            SetRemark(list, GetMessageText(221) + u" " + ToUtf16(path));
            log.Write(module, line, kLogError, "Not enough storage space in destination path");
            break;
        default: {
            SetRemark(list, GetMessageText(236) + u"-" + GetMessageText(222) + u"(E" +
                                Decimal(error) + u")");
            char message[256];
            std::snprintf(message, sizeof message, "UnKnown Error (E:%d)", error);
            log.Write(module, line, kLogError, message);
            break;
        }
    }
    log.Write(module, line, kLogInfo, "Folder path :" + path);
}

void FatalError(int module, int line, std::string_view message) {
    LogFile::Instance().Write(module, line, kLogError, message);
    ShowMessage(222, kMbIconError);
    Sys().Exit(1);
    std::abort();  // Exit never returns
}

void AbortApplication() {
    Ui().Repaint();
    TV_LOG_INFO(kModCore, "Application aborted");
    Platform& platform = Sys();
    DestroyAppContext();
    platform.Exit(0);
    std::abort();  // Exit never returns
}

void CloseApplication(int module) {
    Ui().Repaint();
    TV_LOG_INFO(module, "Application closed");
    Platform& platform = Sys();
    DestroyAppContext();
    platform.Exit(0);
    std::abort();  // Exit never returns
}

bool IsHexText(const char* text) {
    if (text == nullptr) return false;
    for (; *text != 0; ++text) {
        if (std::isxdigit(static_cast<unsigned char>(*text)) == 0) return false;
    }
    return true;
}

bool IsAlnumText(const char* text) {
    if (text == nullptr) return false;
    for (; *text != 0; ++text) {
        const auto c = static_cast<unsigned char>(*text);
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            return false;
        }
    }
    return true;
}

}  // namespace tv
