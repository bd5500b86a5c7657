// The continuity of a folder's archives under the result list: one row per
// card with its files, the blocks and dates they cover, where neighbouring
// archives leave a gap or overlap, and how the folder differs from Archive.log.
#pragma once

#include <QTreeWidget>

#include "audit/Continuity.h"

namespace tv {

QTreeWidget* MakeContinuityTable(QWidget* parent);
// The column headers in the configured language.
void SetContinuityColumns(QTreeWidget* table);
// Replaces the rows with those of the report.
void FillContinuityTable(QTreeWidget* table, const ContinuityReport& report);

}  // namespace tv
