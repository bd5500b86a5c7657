#include "ui/PendingArchivingPage.h"

#include "messages/Messages.h"

namespace tv {

bool CPendingArchivingPage::OnCreatePage() {
    ShowMessage(310, kMbIconInformation);
    return false;
}

}  // namespace tv
