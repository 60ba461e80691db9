// Every text the program looks up in the language file, with its section, key and Russian
// text. Code asks for a text through its constant (LangString(kBuildFilesProcessed)) instead of
// repeating numbers and defaults; the shipped language files hold every key listed here.
//
// Two kinds of texts exist. A message is looked up with its Russian text as the built-in
// default, so it reads the same without a language file. A caption is looked up with an empty
// default (a caption missing from the file stays empty); its Russian text is what the Russian
// language file carries and what a window may show at design time.
//
// One key may serve two uses with different built-in defaults (the same number was given to
// two texts); each use has its own constant, and a language file holds one text for both.
#pragma once

#include <string>
#include <string_view>

#include "settings/Language.h"

namespace zyl::settings {

enum class LangKind { Message, Caption };

struct LangText {
  LangSection section;
  int key;
  std::string_view text;  // Russian text: the default of a message, the caption's text
  LangKind kind = LangKind::Message;
};

// The text of `text` from the configured language file (its default when missing; "" for a
// missing caption).
std::string LangString(const LangText& text);

constexpr LangText Caption(LangSection section, int key, std::string_view text) {
  return {section, key, text, LangKind::Caption};
}

// --- Common: buttons shared by the wizard steps ------------------------------------------------
inline constexpr LangText kCommonNext = Caption(kCommon, 7, "Далее >");
inline constexpr LangText kCommonCancel = Caption(kCommon, 9, "Отмена");

// --- Local wizard, step 2 ---------------------------------------------------------------------
inline constexpr LangText kWizard2Heading{kWizardWindow2, 1,
                                          "Укажите каталоги, в которых \r\nнаходятся документы."};

// --- Build window (local wizard, step 4) ------------------------------------------------------
inline constexpr LangText kBuildCaption = Caption(kWizardWindow4, 0, "Мастер индекса. Шаг 4");
inline constexpr LangText kBuildIndexLabel = Caption(kWizardWindow4, 1, "Индекс:");
inline constexpr LangText kBuildStatusLabel = Caption(kWizardWindow4, 2, "Статус:");
inline constexpr LangText kBuildStopButton = Caption(kWizardWindow4, 3, "Стоп");
inline constexpr LangText kBuildFile{kWizardWindow4, 4, "Файл"};
inline constexpr LangText kBuildSearchingFiles{kWizardWindow4, 5, "Поиск файлов"};
inline constexpr LangText kBuildFound{kWizardWindow4, 6, "Найдено"};
inline constexpr LangText kBuildConnecting{kWizardWindow4, 9, "Соединение с файлом индекса... "};
inline constexpr LangText kBuildSuccess{kWizardWindow4, 10, "успешно."};
// Key 11 heads the list of processed files in the log, and is also the prefix of the file
// counter label, which is empty without a language file.
inline constexpr LangText kBuildProcessingFiles{kWizardWindow4, 11, "Обработка файлов"};
inline constexpr LangText kBuildCounterPrefix{kWizardWindow4, 11, ""};
inline constexpr LangText kBuildProcessingFile{kWizardWindow4, 12, "Обработка файла"};
inline constexpr LangText kBuildIoError{kWizardWindow4, 13, " не удалось, ошибка ввода-вывода."};
inline constexpr LangText kBuildPasswordRequired{kWizardWindow4, 14,
                                                 " не удалось, требуется пароль."};
inline constexpr LangText kBuildWorkFinished{kWizardWindow4, 15, "Работа завершена."};
inline constexpr LangText kBuildFilesProcessed{kWizardWindow4, 16, "Обработано файлов"};
inline constexpr LangText kBuildErrors{kWizardWindow4, 17, "Ошибок"};
inline constexpr LangText kBuildIndexFile{kWizardWindow4, 18, "Файл индекса"};
inline constexpr LangText kBuildTime{kWizardWindow4, 19, "Время"};
inline constexpr LangText kBuildReady{kWizardWindow4, 20, "Готово"};
inline constexpr LangText kBuildFinishedOk{kWizardWindow4, 21, "Индексирование завершено успешно."};
inline constexpr LangText kBuildClose{kWizardWindow4, 22, "Закрыть"};
inline constexpr LangText kBuildConfirmStop{kWizardWindow4, 23,
                                            "Вы уверены что хотите остановить работу?"};
inline constexpr LangText kBuildOf{kWizardWindow4, 24, "из"};
inline constexpr LangText kBuildFolder{kWizardWindow4, 25, "Каталог"};

// --- Web build window (web wizard, step 3) ----------------------------------------------------
inline constexpr LangText kWebBuildCaption =
    Caption(kWebWizardWindow3, 0, "Мастер веб-индекса. Шаг 3");
inline constexpr LangText kWebBuildCreating{kWebWizardWindow3, 3, "Создаем индекс..."};
inline constexpr LangText kWebBuildSuccess{kWebWizardWindow3, 4, "успешно."};
inline constexpr LangText kWebBuildProcessingPages{kWebWizardWindow3, 5, "Обработка веб страниц."};
inline constexpr LangText kWebBuildFinished{kWebWizardWindow3, 6, "Обработка закончена."};
inline constexpr LangText kWebBuildPagesProcessed{kWebWizardWindow3, 7, "Обработано страниц:"};

// --- Update window ----------------------------------------------------------------------------
inline constexpr LangText kUpdateCaption = Caption(kUpdateWindow, 0, "Обновление индекса");
inline constexpr LangText kUpdateOpeningIndex{kUpdateWindow, 3, "Открываем файл индекса"};
// Key 4 ends a whole run. The line after a changed file and the word after an added file have
// keys of their own (20, 21): one key cannot hold both texts, and a language file holding one of
// them would print the wrong line for the other.
inline constexpr LangText kUpdateAllFinished{kUpdateWindow, 4, "Обновление завершено."};
inline constexpr LangText kUpdateFileUpdated{kUpdateWindow, 20, "индекс обновлен успешно."};
inline constexpr LangText kUpdateIndexFinished{kUpdateWindow, 5, "Обновление индекса завершено."};
inline constexpr LangText kUpdateClose{kUpdateWindow, 6, "Закрыть"};
// Key 7 follows the descriptor (with a full stop); key 21 follows an added file or page
// (without one).
inline constexpr LangText kUpdateDescriptorRead{kUpdateWindow, 7, "успешно."};
inline constexpr LangText kUpdateSuccess{kUpdateWindow, 21, "успешно"};
inline constexpr LangText kUpdateWebFinished{kUpdateWindow, 8, "Обработка закончена"};
inline constexpr LangText kUpdateWebPagesProcessed{kUpdateWindow, 9, "Обработано страниц"};
inline constexpr LangText kUpdateIndexingNew{kUpdateWindow, 10, "Индексирование новых файлов"};
inline constexpr LangText kUpdateAddingFile{kUpdateWindow, 11, "Добавляем файл"};
inline constexpr LangText kUpdateIoError{kUpdateWindow, 12, "не удалось, ошибка ввода-вывода"};
inline constexpr LangText kUpdateCheckingModified{kUpdateWindow, 13,
                                                  "Проверка на наличие модифицированных файлов."};
inline constexpr LangText kUpdateFile{kUpdateWindow, 14, "Файл"};
inline constexpr LangText kUpdateWasChanged{kUpdateWindow, 15, "был изменен.."};
inline constexpr LangText kUpdateCheckingLinks{kUpdateWindow, 16,
                                               "Проверка ссылок на не существующие файлы."};
inline constexpr LangText kUpdateRemovingLink{kUpdateWindow, 17, "не существует. Удаляем ссылку."};
inline constexpr LangText kUpdateSearchingFiles{kUpdateWindow, 18, "Поиск файлов..."};
inline constexpr LangText kUpdateFound{kUpdateWindow, 19, "найдено"};
inline constexpr LangText kUpdateEmptyFolderSkipped{kUpdateWindow, 22,
                                                    "Каталог с пустым путем пропущен."};

// --- Document types: key 0 the user-defined types, keys from 1 the type codes in table order ---
// Key 0 reads "Пользовательские файлы" on the wizard's check box and "Пользовательские" in lists.
inline constexpr LangText kFileTypeUsersCheckBox{kFileType, 0, "Пользовательские файлы"};
inline constexpr LangText kFileTypeLabels[] = {
    {kFileType, 0, "Пользовательские"},
    {kFileType, 1, "Текст (*.txt)"},
    {kFileType, 2, "Windows Write (*.wri)"},
    {kFileType, 3, "Расширенный текст (*.rtf)"},
    {kFileType, 4, "Файлы Win WORD (*.doc)"},
    {kFileType, 5, "Файлы Excel (*.xls)"},
    {kFileType, 6, "HTML-файл (*.htm; *.html)"},
    {kFileType, 7, "Заголовки Adobe Acrobat (*.pdf)"},
    {kFileType, 8, "Текст Adobe Acrobat полностью (*.pdf)"},
    {kFileType, 9, "Информация MP3 TAG (*.mp3)"},
    {kFileType, 10, "Word Perfect 6.x (*.wpd)"},
    {kFileType, 11, "Microsoft Works (*.wps)"},
    {kFileType, 12, "Lotus 1-2-3 (*.wk1;*.wk3;*.wk4)"},
    {kFileType, 13, "dBase (*.dbf)"},
    {kFileType, 14, "QuattroPro (*.wq1;*.wb1)"},
    {kFileType, 15, "Data Interchange Format (*.dif)"},
    {kFileType, 16, "CSV файл (*.csv)"},
    {kFileType, 17, "Шаблон Microsoft Word (*.dot)"},
    {kFileType, 18, "Шаблон Microsoft Excel (*.xlt)"},
    {kFileType, 19, "Microsoft Excel прочие (*.xlw;*.xlc;*.xlm)"},
    {kFileType, 20, "Почтовый ящик Microsoft Outlook Express"},
    {kFileType, 21, "Почтовый ящик Netscape Messenger"},
};

// --- Type-selection scheme button and its menu ------------------------------------------------
inline constexpr LangText kSchemeButton = Caption(kPresetScheme, 0, "Схема");
inline constexpr LangText kSchemeSelectAll = Caption(kPresetScheme, 1, "Выбрать все");
inline constexpr LangText kSchemeSelectNone = Caption(kPresetScheme, 2, "Снять выбор");
inline constexpr LangText kSchemeInvert = Caption(kPresetScheme, 3, "Обратить выбор");
inline constexpr LangText kSchemeMailboxes = Caption(kPresetScheme, 4, "Выбрать почтовые ящики");
inline constexpr LangText kSchemeOffice = Caption(kPresetScheme, 5, "Выбрать документы MS Office");

// --- Document server window -------------------------------------------------------------------
inline constexpr LangText kServerCaption = Caption(kServerWindow, 0, "ZYL: сервер документов");
inline constexpr LangText kServerIpLabel = Caption(kServerWindow, 1, "IP адрес сервера");
inline constexpr LangText kServerHostLabel = Caption(kServerWindow, 2, "Доменное имя сервера");
inline constexpr LangText kServerPortLabel = Caption(kServerWindow, 3, "Активный порт");
inline constexpr LangText kServerLinkLabel = Caption(kServerWindow, 4, "Ссылка на страницу поиска");
inline constexpr LangText kServerMenuServer = Caption(kServerWindow, 5, "Сервер");
inline constexpr LangText kServerMenuOptions = Caption(kServerWindow, 6, "Настройки");
inline constexpr LangText kServerMenuShutDown = Caption(kServerWindow, 7, "Выход");
inline constexpr LangText kServerMenuMainHelp = Caption(kServerWindow, 8, "Справка");
inline constexpr LangText kServerMenuHelp = Caption(kServerWindow, 9, "Справка");
inline constexpr LangText kServerMenuAbout = Caption(kServerWindow, 10, "О программе");

// --- Messages of windows whose captions are numbered by their own code ------------------------
// These sit at keys from 100 on, clear of the captions numbered from 0.
inline constexpr LangText kManagerTotalIndexes{kManagerWindow, 100, "Всего индексов:"};
inline constexpr LangText kManagerSelected{kManagerWindow, 101, "Выбрано "};
inline constexpr LangText kManagerFiles{kManagerWindow, 102, "файлов"};
inline constexpr LangText kManagerFolders{kManagerWindow, 103, "Каталоги"};
inline constexpr LangText kManagerFileTypes{kManagerWindow, 104, "Типы файлов"};
inline constexpr LangText kManagerStartUrl{kManagerWindow, 105, "Стартовый URL"};
inline constexpr LangText kManagerDepth{kManagerWindow, 106, "Глубина перебора "};
inline constexpr LangText kManagerIndexFileFilter{kManagerWindow, 107, "Файл индекса"};
inline constexpr LangText kManagerConfirmDelete{kManagerWindow, 108,
                                                "Вы уверены что хотите удалить файлы индекса?"};
// The archive line of a local index's types comes only from the language file.
inline constexpr LangText kManagerArchives = Caption(kManagerWindow, 109, "Архивы");
inline constexpr LangText kManagerVersion{kManagerWindow, 111, "Версия"};
inline constexpr LangText kManagerAboutText{
    kManagerWindow, 112, "Индексирование документов и полнотекстовый поиск с сервером документов."};
inline constexpr LangText kManagerHelpMissing{kManagerWindow, 113, "Файл помощи не найден"};
inline constexpr LangText kSearchFound{kSearchWindow, 100, "Найдено:"};
inline constexpr LangText kSearchQueryFileFilter{kSearchWindow, 101, "Файл запроса"};
inline constexpr LangText kQueryOtherFunctions{kQueryWindow, 100, "Другие"};
inline constexpr LangText kQueryOtherFunctionsNote{
    kQueryWindow, 101,
    "Другие функции, хотя и не входят в этот список, все равно доступны для применения."};
// The edit dialog's caption, followed by the index title.
inline constexpr LangText kEditCaption{kEditWindow, 0, "Редактирование индекса"};

// Every entry above, for the language files' completeness check.
inline constexpr LangText kAllLangTexts[] = {
    kCommonNext,
    kCommonCancel,
    kWizard2Heading,
    kBuildCaption,
    kBuildIndexLabel,
    kBuildStatusLabel,
    kBuildStopButton,
    kBuildFile,
    kBuildSearchingFiles,
    kBuildFound,
    kBuildConnecting,
    kBuildSuccess,
    kBuildProcessingFiles,
    kBuildCounterPrefix,
    kBuildProcessingFile,
    kBuildIoError,
    kBuildPasswordRequired,
    kBuildWorkFinished,
    kBuildFilesProcessed,
    kBuildErrors,
    kBuildIndexFile,
    kBuildTime,
    kBuildReady,
    kBuildFinishedOk,
    kBuildClose,
    kBuildConfirmStop,
    kBuildOf,
    kBuildFolder,
    kWebBuildCaption,
    kWebBuildCreating,
    kWebBuildSuccess,
    kWebBuildProcessingPages,
    kWebBuildFinished,
    kWebBuildPagesProcessed,
    kUpdateCaption,
    kUpdateOpeningIndex,
    kUpdateAllFinished,
    kUpdateFileUpdated,
    kUpdateIndexFinished,
    kUpdateClose,
    kUpdateDescriptorRead,
    kUpdateSuccess,
    kUpdateWebFinished,
    kUpdateWebPagesProcessed,
    kUpdateIndexingNew,
    kUpdateAddingFile,
    kUpdateIoError,
    kUpdateCheckingModified,
    kUpdateFile,
    kUpdateWasChanged,
    kUpdateCheckingLinks,
    kUpdateRemovingLink,
    kUpdateSearchingFiles,
    kUpdateFound,
    kUpdateEmptyFolderSkipped,
    kFileTypeUsersCheckBox,
    kFileTypeLabels[0],
    kFileTypeLabels[1],
    kFileTypeLabels[2],
    kFileTypeLabels[3],
    kFileTypeLabels[4],
    kFileTypeLabels[5],
    kFileTypeLabels[6],
    kFileTypeLabels[7],
    kFileTypeLabels[8],
    kFileTypeLabels[9],
    kFileTypeLabels[10],
    kFileTypeLabels[11],
    kFileTypeLabels[12],
    kFileTypeLabels[13],
    kFileTypeLabels[14],
    kFileTypeLabels[15],
    kFileTypeLabels[16],
    kFileTypeLabels[17],
    kFileTypeLabels[18],
    kFileTypeLabels[19],
    kFileTypeLabels[20],
    kFileTypeLabels[21],
    kSchemeButton,
    kSchemeSelectAll,
    kSchemeSelectNone,
    kSchemeInvert,
    kSchemeMailboxes,
    kSchemeOffice,
    kServerCaption,
    kServerIpLabel,
    kServerHostLabel,
    kServerPortLabel,
    kServerLinkLabel,
    kServerMenuServer,
    kServerMenuOptions,
    kServerMenuShutDown,
    kServerMenuMainHelp,
    kServerMenuHelp,
    kServerMenuAbout,
    kManagerTotalIndexes,
    kManagerSelected,
    kManagerFiles,
    kManagerFolders,
    kManagerFileTypes,
    kManagerStartUrl,
    kManagerDepth,
    kManagerIndexFileFilter,
    kManagerConfirmDelete,
    kManagerArchives,
    kManagerVersion,
    kManagerAboutText,
    kManagerHelpMissing,
    kSearchFound,
    kSearchQueryFileFilter,
    kQueryOtherFunctions,
    kQueryOtherFunctionsNote,
    kEditCaption,
};

}  // namespace zyl::settings
