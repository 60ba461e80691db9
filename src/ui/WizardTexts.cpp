#include "ui/WizardTexts.h"

namespace zyl::ui {

namespace {

using settings::Caption;
using settings::LangSection;

constexpr WindowText C(std::string_view name, LangSection section, int key, std::string_view text) {
  return {name, TextRole::Caption, 0, Caption(section, key, text)};
}
constexpr WindowText T(std::string_view name, const settings::LangText& text) {
  return {name, TextRole::Caption, 0, text};
}

using settings::kCommonCancel;
using settings::kCommonNext;
using settings::kEditWindow;
using settings::kWebWizardWindow1;
using settings::kWebWizardWindow2;
using settings::kWebWizardWindow3;
using settings::kWizardWindow1;
using settings::kWizardWindow2;
using settings::kWizardWindow3;

constexpr WindowText kStep1[] = {
    C("frmZYLwizard1", kWizardWindow1, 0, "Мастер индекса. Шаг 1"),
    C("Label1", kWizardWindow1, 1, "Укажите название индекса"),
    C("Label2", kWizardWindow1, 2, "Название индекса"),
    C("Label3", kWizardWindow1, 3, "Описание индекса"),
    T("Command1", kCommonNext),
    T("Command3", kCommonCancel),
};

constexpr WindowText kWebStep1[] = {
    C("frmWebB1", kWebWizardWindow1, 0, "Мастер веб-индекса. Шаг 1"),
    C("Label1", kWebWizardWindow1, 1, "Укажите название индекса"),
    C("Label2", kWebWizardWindow1, 2, "Название индекса"),
    C("Label3", kWebWizardWindow1, 3, "Описание индекса"),
    T("Command1", kCommonNext),
    T("Command3", kCommonCancel),
};

constexpr WindowText kStep2[] = {
    C("frmZYLwizard2", kWizardWindow2, 0, "Мастер индекса. Шаг 2"),
    T("Command2", kCommonNext),
    T("Command4", kCommonCancel),
};

constexpr WindowText kStep3[] = {
    C("frmZYLwizard3", kWizardWindow3, 0, "Мастер индекса. Шаг 3"),
    C("Label1", kWizardWindow3, 1, "Типы файлов"),
    C("Check1", kWizardWindow3, 2, "Обработка архивов"),
    T("Check2", settings::kFileTypeUsersCheckBox),
    T("Command1", kCommonNext),
    T("Command2", kCommonCancel),
    T("Command3", settings::kSchemeButton),
    T("mnuScheme1", settings::kSchemeSelectAll),
    T("mnuScheme2", settings::kSchemeSelectNone),
    T("mnuScheme3", settings::kSchemeInvert),
    T("mnuScheme4", settings::kSchemeMailboxes),
    T("mnuScheme5", settings::kSchemeOffice),
};

constexpr WindowText kBuild[] = {
    T("frmZYLwizard4", settings::kBuildCaption),
    T("Label3", settings::kBuildIndexLabel),
    T("Label1", settings::kBuildStatusLabel),
    T("Command2", settings::kBuildStopButton),
};

constexpr WindowText kWebStep2[] = {
    C("frmWebB2", kWebWizardWindow2, 0, "Мастер веб-индекса. Шаг 2"),
    C("Label1", kWebWizardWindow2, 1, "Параметры вебкаталога"),
    C("Label2", kWebWizardWindow2, 2, "Начальный адрес:"),
    C("Label3", kWebWizardWindow2, 3, "Глубина обзора"),
    T("Command1", kCommonNext),
    T("Command3", kCommonCancel),
};

constexpr WindowText kCrawl[] = {
    T("frmWebB3", settings::kWebBuildCaption),
    T("Label1", kCrawlIndexLabel),
    T("Command1", kCrawlStop),
};

constexpr WindowText kEdit[] = {
    C("Label1", kEditWindow, 1, "Описание индекса"),
    C("Label2", kEditWindow, 2, "Каталоги"),
    C("Label3", kEditWindow, 3, "Типы файлов"),
    C("Check1", kEditWindow, 4, "Обработка архивов"),
    C("Check2", kEditWindow, 5, "Пользовательские"),
    C("Command3", kEditWindow, 6, "Сохранить"),
    C("Command4", kEditWindow, 7, "Отмена"),
};

}  // namespace

std::span<const WindowText> WizardStep1Texts(bool web) {
  if (web) return kWebStep1;
  return kStep1;
}
std::span<const WindowText> WizardStep2Texts() {
  return kStep2;
}
std::span<const WindowText> WizardStep3Texts() {
  return kStep3;
}
std::span<const WindowText> BuildWindowTexts() {
  return kBuild;
}
std::span<const WindowText> WebWizardStep2Texts() {
  return kWebStep2;
}
std::span<const WindowText> CrawlWindowTexts() {
  return kCrawl;
}
std::span<const WindowText> EditWindowTexts() {
  return kEdit;
}

std::vector<std::span<const WindowText>> AllWizardTexts() {
  return {kStep1, kWebStep1, kStep2, kStep3, kBuild, kWebStep2, kCrawl, kEdit};
}

}  // namespace zyl::ui
