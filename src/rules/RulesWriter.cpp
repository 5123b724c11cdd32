#include "rules/RulesWriter.h"

#include <string>

#include "rules/RulesSql.h"

namespace qinglan {

void storeScanItemChoice(TSQLiteDatabase& db, std::string_view tableName, std::string_view idText,
                         bool included) {
  db.Query(updateUnScanSql(tableName, idText, included));
}

void restoreUnScanChoices(TSQLiteDatabase& db, const std::vector<ScanItem>& choices) {
  db.Execute(std::string(kBeginSql));
  for (const ScanItem& choice : choices)
    db.Execute(restoreUnScanSql(choice.id, choice.excluded()));
  db.Execute(std::string(kCommitSql));
}

void writeUserVersion(TSQLiteDatabase& db, int32_t version) {
  db.Execute(setUserVersionSql(version));
}

}  // namespace qinglan
