#include "wizard/Breadcrumb.h"

#include "app/AppContext.h"

namespace tv {

BreadcrumbPlan PlanBreadcrumb(int pageId, bool dx, const AppContext& ctx, bool french) {
    const bool configured = ctx.configuredScaleType != 0;
    // The first two steps: the operation choice and the card, in start-up order.
    const std::vector<MessageId> head = configured ? std::vector<MessageId>{140, 114}
                                                   : std::vector<MessageId>{114, 140};
    const MessageId choice = (!dx && ctx.validationKind != 1) ? 264 : 146;
    std::vector<MessageId> ids;
    int highlight = -2;  // the last step
    switch (pageId) {
        case 133: ids = configured ? std::vector<MessageId>{140} : head; break;
        case 6: ids = configured ? head : std::vector<MessageId>{114}; break;
        case 134: ids = head; ids.push_back(115); break;
        case 159: ids = head; ids.insert(ids.end(), {115, 182}); break;
        case 135:
        case 136: ids = head; ids.insert(ids.end(), {115, 123}); break;
        case 139: ids = head; ids.insert(ids.end(), {115, 130}); break;
        case 137: ids = head; ids.insert(ids.end(), {115, 130, 123}); break;
        case 140:
            if (!configured) {
                ids = {114, 140, choice};
            } else if (dx && ctx.verificationMode == 1) {
                ids = {140, 114, choice};
            } else {
                ids = {140, choice};
            }
            break;
        case 141:
            if (!dx) {
                ids = configured ? std::vector<MessageId>{140, choice, 261}
                                 : std::vector<MessageId>{114, 140, choice, 261};
            } else if (!configured) {
                ids = {114, 140, 146, 142};
            } else if (ctx.verificationMode == 1) {
                ids = {140, 114, 146, 142};
            } else {
                ids = {140, 146, 142};
            }
            break;
        case 161: ids = {140, 202}; highlight = -1; break;
        case 162: ids = {140, 202, 114}; highlight = -1; break;
        default: return {};
    }
    BreadcrumbPlan plan;
    for (MessageId id : ids) plan.steps.push_back({id, 0});
    plan.highlight = highlight == -2 ? static_cast<int>(ids.size()) - 1 : highlight;
    // The five steps of the date-based run do not fit in French: the first ones
    // are shortened, with the full caption as a tooltip.
    if (pageId == 137 && french) {
        if (configured) {
            plan.steps[0] = {284, 140};
            plan.steps[1] = {239, 114};
        } else {
            plan.steps[0] = {239, 114};
        }
    }
    return plan;
}

}  // namespace tv
