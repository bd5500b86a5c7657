// The captions of the breadcrumb above the page area: which steps of the chosen
// operation lead to a page, and which of them is highlighted.
#pragma once

#include <vector>

#include "messages/MessageTable.h"

namespace tv {

class AppContext;

struct BreadcrumbStep {
    MessageId caption = 0;
    MessageId tooltip = 0;  // the full caption of a shortened one
};

struct BreadcrumbPlan {
    std::vector<BreadcrumbStep> steps;
    int highlight = -1;  // index of the highlighted step; -1 leaves it where it was
};

// The plan of page pageId with the dX flag; empty for a page without one.
BreadcrumbPlan PlanBreadcrumb(int pageId, bool dx, const AppContext& ctx, bool french);

}  // namespace tv
