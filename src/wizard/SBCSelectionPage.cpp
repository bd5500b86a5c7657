#include "wizard/SBCSelectionPage.h"

#include <algorithm>
#include <vector>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "wizard/PageView.h"
#include "wizard/WizardDialog.h"

namespace tv {

CSBCSelectionPage::CSBCSelectionPage() : CWizardPage(kPageSbcSelection) {}

bool CSBCSelectionPage::OnCreatePage() {
    configured_ = GetAppContext().configuredScaleType;
    ShowFillLevel(false);
    return true;
}

int CSBCSelectionPage::UpdateHeader() {
    if (Wizard()->ShowPageHeader(PageId(), true)) Wizard()->Window().Redraw();
    return 0;
}

void CSBCSelectionPage::UpdateTexts() {
    PageView& v = View();
    v.SetText(kCtlCardGroup, Text(116));
    // The placeholder in the language now chosen, first; the cards after it.
    std::vector<std::u16string> cards;
    for (int i = 1; i < v.ItemCount(kCtlCardList); ++i) cards.push_back(v.ItemText(kCtlCardList, i));
    filling_ = true;
    v.ClearItems(kCtlCardList);
    v.AddItem(kCtlCardList, Text(cardsFound_ ? 171 : 173));
    for (const std::u16string& card : cards) v.AddItem(kCtlCardList, card);
    v.Select(kCtlCardList, 0);
    filling_ = false;
    // No card is chosen any more: Next waits for one.
    if (cardsFound_ || !cards.empty()) {
        ShowFillLevel(false);
        Wizard()->SetNextOrCancelDefault(true);
    }
    v.Focus(kCtlCardList);
}

void CSBCSelectionPage::ShowFillLevel(bool show) {
    if (!HasFillLevel()) return;
    View().Show(kCtlFillLevel, show);
    View().Show(kCtlFillPicture, show);
}

void CSBCSelectionPage::DisableNext() {
    Wizard()->SetNextOrCancelDefault(true);
    View().Focus(kCtlCardList);
}

void CSBCSelectionPage::Scan(bool refresh) {
    AppContext& ctx = GetAppContext();
    PageView& v = View();
    filling_ = true;
    cardsFound_ = false;
    v.ClearItems(kCtlCardList);
    if (refresh) {
        v.AddItem(kCtlCardList, Text(173));
        v.Select(kCtlCardList, 0);
    }
    ShowFillLevel(false);
    Wizard()->SetNextOrCancelDefault(true);
    v.Enable(kCtlCardList, true);
    const SmcList found = ScanSmcDrives(ctx);
    v.ClearItems(kCtlCardList);
    // The placeholder first, then the cards in the order of their names.
    std::vector<std::string> cards(found.entries.begin() + (found.entries.empty() ? 0 : 1), found.entries.end());
    std::sort(cards.begin(), cards.end());
    if (found.cardFound) {
        cardsFound_ = true;
        v.AddItem(kCtlCardList, Text(171));
        for (const std::string& card : cards) v.AddItem(kCtlCardList, ToUtf16(card));
    } else {
        v.AddItem(kCtlCardList, Text(173));
        v.Enable(kCtlCardList, refresh);
    }
    v.Select(kCtlCardList, 0);
    filling_ = false;
    DisableNext();
}

int CSBCSelectionPage::OnDeviceChange() {
    Scan(true);
    return 0;
}

void CSBCSelectionPage::OnBeforeNext() {
    cardsFound_ = false;
    repaint_ = true;
}

void CSBCSelectionPage::OnReturnTo(bool flag) {
    if (!flag) ShowHeader();
    View().Focus(kCtlCardList);
}

void CSBCSelectionPage::ShowBackButton() {
    // The welcome page comes first unless the family is detected from the card.
    Wizard()->Window().ShowButton(WizardButton::kBack, configured_ != 0);
}

void CSBCSelectionPage::OnSetActive() { ShowBackButton(); }

bool CSBCSelectionPage::OnKillActive() {
    ShowBackButton();
    return true;
}

bool CSBCSelectionPage::OnQueryCancel() {
    if (AskYesNo(109, kMbIconQuestion | kMbDefButton2)) CloseApplication(kModSbcSelectionPage);
    View().Focus(kCtlCardList);
    return false;
}

void CSBCSelectionPage::OnSelectionChange(int control) {
    if (control != kCtlCardList || filling_) return;
    const int index = View().Selection(kCtlCardList);
    if (index < 0) return;
    if (IsPlaceholder(index)) {
        ShowFillLevel(false);
        DisableNext();
        return;
    }
    OnCardSelected(ToNarrow(View().ItemText(kCtlCardList, index)));
}

void CSBCSelectionPage::OnCardSelected(const std::string& entry) {
    AppContext& ctx = GetAppContext();
    SmcFillLevel level;
    const bool opened = ShowSmcFillLevel(ctx, entry, level);
    CloseSmc(ctx);
    if (!opened) {
        ShowFillLevel(false);
        ShowMessage(174, kMbIconWarning);
        DisableNext();
        return;
    }
    ShowFillLevel(level.shown);
    if (level.shown) {
        ProgressView* bar = View().Progress(kCtlFillLevel);
        View().SetBarState(kCtlFillLevel, level.full ? BarState::kError : BarState::kPaused);
        if (bar != nullptr) {
            bar->SetRange(0, 100);
            bar->SetPos(level.full ? 100 : level.percent);
        }
    }
    Wizard()->SetNextOrCancelDefault(false);
}

bool CSBCSelectionPage::IdentifyChosenCard(std::string& entry) {
    const int index = View().Selection(kCtlCardList);
    // A placeholder names no drive: "<Select SMC>" would be read as drive M.
    if (IsPlaceholder(index)) {
        DisableNext();
        return false;
    }
    entry = ToNarrow(View().ItemText(kCtlCardList, index));
    if (entry.size() < 3) {
        DisableNext();
        return false;
    }
    const SmcIdentity identity = IdentifySmc(GetAppContext(), entry, Purpose());
    if (identity == SmcIdentity::Refused) DisableNext();
    return identity == SmcIdentity::Accepted;
}

int CSBCSelectionPage::OnWizardNext() {
    std::string entry;
    if (!IdentifyChosenCard(entry)) return -1;
    const AppContext& ctx = GetAppContext();
    repaint_ = true;
    if (configured_ == 0) return kPageWelcome;
    if (ctx.operation == 1) return kPageArchiverSelection;
    if (configured_ == 1 && ctx.operation == 2 && ctx.verificationMode == 1) {
        return kPageVerificationFileFolderSelection;
    }
    return -1;
}

void CSBCSelectionPage::LeaveBack() {
    View().ClearItems(kCtlCardList);
    View().Focus(kCtlCardList);
    Wizard()->SetNextOrCancelDefault(false);
}

int CSBCSelectionPage::OnWizardBack() {
    LeaveBack();
    return kPageWelcome;
}

void CSBCSelectionPage::OnPaint() {
    if (!repaint_) return;
    repaint_ = false;
    WizardWindow& w = Wizard()->Window();
    ShowBackButton();
    w.ShowButton(WizardButton::kNext, true);
    w.ShowButton(WizardButton::kCancel, true);
    w.ShowButton(WizardButton::kFinish, false);
    View().Focus(kCtlCardList);
}

}  // namespace tv
