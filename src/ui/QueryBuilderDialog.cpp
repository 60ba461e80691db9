#include "ui/QueryBuilderDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/DateTime.h"
#include "base/Strings.h"
#include "search/QueryBuilder.h"
#include "settings/Config.h"
#include "settings/Settings.h"
#include "ui/ApplyTexts.h"
#include "ui/Icons.h"
#include "ui/PlatformServices.h"
#include "ui/SearchWindowTexts.h"

namespace zyl::ui {

namespace {

constexpr int kKeyRole = Qt::UserRole + 1;

QPushButton* Button(QWidget* parent, const QString& name) {
  auto* b = new QPushButton(parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

QueryBuilderDialog::QueryBuilderDialog(const std::string& searchText, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("frmQueryBuilder"));
  setWindowIcon(LoadIcon("search"));
  auto* v = new QVBoxLayout(this);

  // The field buttons, each with its menu of fragments.
  auto* fields = new QHBoxLayout;
  const base::DateTimeParts today = base::LocalParts(base::Now());
  for (int b = 0; b < search::kQueryFieldButtons; ++b) {
    QPushButton* button = Button(this, QStringLiteral("Command5_%1").arg(b));
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("FieldMenu%1").arg(b));
    const auto entries = search::QueryFieldMenu(b);
    for (int e = 0; e < static_cast<int>(entries.size()); ++e) {
      QAction* action = menu->addAction(ToQt(CaptionText(entries[static_cast<std::size_t>(e)])));
      action->setObjectName(QStringLiteral("Field%1_%2").arg(b).arg(e));
      connect(action, &QAction::triggered, this,
              [this, b, e, today] { InsertText(search::QueryFieldFragment(b, e, today)); });
    }
    button->setMenu(menu);
    fields->addWidget(button);
  }
  v->addLayout(fields);

  rtf1_ = new QPlainTextEdit(this);
  rtf1_->setObjectName(QStringLiteral("Rtf1"));
  rtf1_->setMinimumHeight(90);
  v->addWidget(rtf1_, 1);

  // The operator buttons; "[  ]" opens the character-set menu.
  auto* operators = new QHBoxLayout;
  operators->setSpacing(2);
  for (int i = 0; i < search::kQueryOperators; ++i) {
    QPushButton* button = Button(this, QStringLiteral("Command3_%1").arg(i));
    button->setText(ToQt(search::QueryOperatorCaption(i)));
    button->setMinimumWidth(34);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    if (const settings::LangText* tip = search::QueryOperatorToolTip(i)) {
      button->setToolTip(ToQt(CaptionText(*tip)));
    }
    if (i == search::kCharacterSetButton) {
      auto* menu = new QMenu(button);
      menu->setObjectName(QStringLiteral("CharsetMenu"));
      const auto entries = search::CharacterSetMenu();
      for (int e = 0; e < static_cast<int>(entries.size()); ++e) {
        QAction* action = menu->addAction(ToQt(CaptionText(entries[static_cast<std::size_t>(e)])));
        action->setObjectName(QStringLiteral("Charset%1").arg(e));
        connect(action, &QAction::triggered, this,
                [this, e] { InsertText(std::string(search::CharacterSetFragment(e))); });
      }
      button->setMenu(menu);
    } else {
      connect(button, &QPushButton::clicked, this,
              [this, i] { InsertText(std::string(search::QueryOperatorFragment(i))); });
    }
    operators->addWidget(button);
  }
  v->addLayout(operators);

  // The function catalogue with its syntax line.
  auto* catalogue = new QGridLayout;
  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("TreeView1"));
  tree_->setHeaderHidden(true);
  tree_->setMinimumHeight(150);
  for (const search::CatalogueGroup& group : search::FunctionCatalogue()) {
    auto* node = new QTreeWidgetItem(tree_);
    node->setText(0, ToQt(CaptionText(group.name)));
    node->setData(0, kKeyRole, ToQt(group.key));
    for (std::size_t i = 0; i < group.functions.size(); ++i) {
      auto* fn = new QTreeWidgetItem(node);
      fn->setText(0, ToQt(group.functions[i]));
      fn->setData(0, kKeyRole, ToQt(search::FunctionKey(group, i)));
    }
  }
  text1_ = new QLineEdit(this);
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setReadOnly(true);
  QPushButton* insert = Button(this, QStringLiteral("Command7"));
  QPushButton* fnHelp = Button(this, QStringLiteral("Command6"));
  catalogue->addWidget(tree_, 0, 0, 3, 1);
  catalogue->addWidget(text1_, 0, 1, 1, 2);
  catalogue->addWidget(insert, 1, 1);
  catalogue->addWidget(fnHelp, 1, 2);
  catalogue->setRowStretch(2, 1);
  catalogue->setColumnStretch(0, 1);
  catalogue->setColumnStretch(1, 1);
  v->addLayout(catalogue);

  auto* buttons = new QHBoxLayout;
  QPushButton* help = Button(this, QStringLiteral("Command4"));
  QPushButton* ok = Button(this, QStringLiteral("Command1"));
  QPushButton* cancel = Button(this, QStringLiteral("Command2"));
  buttons->addWidget(help);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  v->addLayout(buttons);

  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { ShowSyntax(); });
  connect(insert, &QPushButton::clicked, this, [this] {
    if (!text1_->text().isEmpty()) InsertText(FromQt(text1_->text()) + " ");
  });
  connect(fnHelp, &QPushButton::clicked, this, [this] { ShowFunctionHelp(); });
  connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, kHelpQueryBuilder); });
  connect(ok, &QPushButton::clicked, this, [this] {
    handedOver_ = search::HandOverText(FromQt(rtf1_->toPlainText()));
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  ApplyTexts(*this, QueryWindowTexts());
  if (!base::TrimView(searchText).empty()) rtf1_->setPlainText(ToQt(searchText));
  tree_->setCurrentItem(tree_->topLevelItem(0));
  rtf1_->setFocus();
  resize(620, 460);
}

void QueryBuilderDialog::InsertText(const std::string& text) {
  QTextCursor cursor = rtf1_->textCursor();
  cursor.insertText(ToQt(text));
  rtf1_->setTextCursor(cursor);
  rtf1_->setFocus();
}

void QueryBuilderDialog::ShowSyntax() {
  const QTreeWidgetItem* node = tree_->currentItem();
  text1_->setText(node ? ToQt(search::SyntaxOf(FromQt(node->data(0, kKeyRole).toString())))
                       : QString());
}

void QueryBuilderDialog::ShowFunctionHelp() {
  // Our help pages describe the query language and its functions in one section.
  const std::string& help = settings::Config().Help;
  if (help.empty()) {
    ShowHelp(this, kHelpQueryBuilder);
    return;
  }
  QUrl url = HelpUrl(help, kHelpQueryBuilder);
  if (const QTreeWidgetItem* node = tree_->currentItem()) {
    const std::string key = FromQt(node->data(0, kKeyRole).toString());
    if (key.size() >= 2 && key[0] != 'r') {
      url.setFragment(QStringLiteral("function-") + node->text(0).toLower());
    } else {
      url.setFragment(QStringLiteral("query-language"));
    }
  }
  ShellOpen(this, FromQt(url.toString()));
}

}  // namespace zyl::ui
