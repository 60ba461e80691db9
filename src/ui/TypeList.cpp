#include "ui/TypeList.h"

#include <QListWidget>
#include <QSignalBlocker>

#include "extract/DocumentTypes.h"
#include "indexer/IndexChoices.h"
#include "settings/LangKeys.h"
#include "ui/ApplyTexts.h"
#include "ui/Icons.h"

namespace zyl::ui {

namespace {
constexpr int kCodeRole = Qt::UserRole;

std::string CodeOf(const QListWidgetItem& item) {
  return FromQt(item.data(kCodeRole).toString());
}
}  // namespace

void FillTypeList(QListWidget& list) {
  list.clear();
  for (const extract::DocumentType* t : extract::TypeListEntries()) {
    const settings::LangText label{settings::kFileType, t->langKey, t->wizardLabel};
    QIcon icon = LoadIcon("type-" + std::string(t->code));
    // A type without a picture of its own shows the plain document one.
    if (icon.isNull()) icon = LoadIcon("type-users");
    auto* item = new QListWidgetItem(icon, ToQt(settings::LangString(label)), &list);
    item->setData(kCodeRole, ToQt(t->code));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
}

std::set<std::string> CheckedTypes(const QListWidget& list) {
  std::set<std::string> out;
  for (int i = 0; i < list.count(); ++i)
    if (list.item(i)->checkState() == Qt::Checked) out.insert(CodeOf(*list.item(i)));
  return out;
}

void SetCheckedTypes(QListWidget& list, const std::set<std::string>& codes) {
  const QSignalBlocker quiet(&list);
  for (int i = 0; i < list.count(); ++i)
    list.item(i)->setCheckState(codes.count(CodeOf(*list.item(i))) ? Qt::Checked : Qt::Unchecked);
  list.viewport()->update();
}

void KeepPdfExclusive(QListWidget& list, const std::string& code) {
  if (code != "pdfmin" && code != "pdffull") return;
  std::set<std::string> checked = CheckedTypes(list);
  indexer::CheckTypeCode(checked, code, checked.count(code) != 0);
  SetCheckedTypes(list, checked);
}

}  // namespace zyl::ui
