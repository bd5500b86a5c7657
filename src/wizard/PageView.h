// What a wizard page asks of the panel a face made from its template: its
// controls, addressed by the control IDs of the template, and the pickers and
// timers of the toolkit. The page decides; the panel only shows and tells.
#pragma once

#include <string>
#include <vector>

#include "archive/DateRange.h"

namespace tv {

class ProgressView;
class ResultList;
class StatusView;

// The colour of a progress bar: the toolkit's normal one, yellow (paused) or red (error).
enum class BarState { kNormal, kPaused, kError };

// A file type offered by a file picker: its name as shown and its pattern ("*.csv").
struct FileFilter {
    std::u16string name;
    std::u16string pattern;
};

class PageView {
public:
    virtual ~PageView() = default;

    // --- any control -----------------------------------------------------------
    virtual void SetText(int control, const std::u16string& text) = 0;
    virtual std::u16string GetText(int control) const = 0;
    virtual void Show(int control, bool show) = 0;
    virtual bool IsVisible(int control) const = 0;
    virtual void Enable(int control, bool enable) = 0;
    virtual bool IsEnabled(int control) const = 0;
    virtual void Focus(int control) = 0;
    // The tooltip of a control (empty: none).
    virtual void SetTip(int control, const std::u16string& tip) = 0;

    // --- check boxes and radio buttons -----------------------------------------
    virtual void SetChecked(int control, bool checked) = 0;
    virtual bool IsChecked(int control) const = 0;

    // --- drop-down lists ------------------------------------------------------------
    virtual void ClearItems(int control) = 0;
    virtual void AddItem(int control, const std::u16string& text) = 0;
    virtual int ItemCount(int control) const = 0;
    virtual std::u16string ItemText(int control, int index) const = 0;
    // The selected item, -1 when none.
    virtual int Selection(int control) const = 0;
    virtual void Select(int control, int index) = 0;

    // --- the engine's views of a progress bar, a status line, a result list ------
    virtual ProgressView* Progress(int control) = 0;
    virtual StatusView* Status(int control) = 0;
    virtual ResultList* Results(int control) = 0;
    // The colour of a progress bar; a face without colours may leave it.
    virtual void SetBarState(int, BarState) {}
    // The column headers and widths (pixels at 96 dpi) of a result list.
    virtual void SetColumns(int control, const std::vector<std::u16string>& headers,
                            const std::vector<int>& widths) = 0;
    // A cell of a result list tells of a failure (or no longer does): the face
    // draws it in its failure colour. A face without one may leave it.
    virtual void MarkCell(int /*control*/, int /*row*/, int /*column*/, bool /*failed*/) {}
    // The bitmap (by resource ID) a picture control shows.
    virtual void SetImage(int /*control*/, int /*bitmap*/) {}

    // --- date pickers (the toolkit shows dates in the user's format) -------------
    virtual DayDate GetDate(int control) const = 0;
    virtual void SetDate(int control, const DayDate& date) = 0;
    virtual void SetDateRange(int control, const DayDate& first, const DayDate& last) = 0;

    // --- timers: the page's OnTimer(id) every period until killed ------------------
    virtual void SetTimer(int id, int milliseconds) = 0;
    virtual void KillTimer(int id) = 0;

    // --- pickers: the chosen path, or empty when the user cancelled ----------------
    virtual std::u16string ChooseFile(const std::u16string& title, const std::u16string& initial,
                                      const std::vector<FileFilter>& filters) = 0;
    virtual std::u16string ChooseFolder(const std::u16string& title, const std::u16string& initial) = 0;
    // A file to write; the name gets the pattern's extension of the chosen filter
    // when the user typed none.
    virtual std::u16string ChooseSaveFile(const std::u16string& title, const std::u16string& initial,
                                          const std::vector<FileFilter>& filters) = 0;
};

}  // namespace tv
