#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "rules/RulesReader.h"

// The writes the program makes to a rules database; a failing statement raises ESQLiteException.
namespace qinglan {

// Stores whether one scan item is scanned (UnScan 0) or not (UnScan 1). The id goes into the
// statement unquoted, as the scan list has always written it.
void storeScanItemChoice(TSQLiteDatabase& db, std::string_view tableName, std::string_view idText,
                         bool included);

// Gives every item of ccdb whose Id is among the choices the UnScan choice made for it, in one
// transaction; other items keep the template's value.
void restoreUnScanChoices(TSQLiteDatabase& db, const std::vector<ScanItem>& choices);

void writeUserVersion(TSQLiteDatabase& db, int32_t version);

}  // namespace qinglan
