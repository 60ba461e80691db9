#include "ui/ServerWindowTexts.h"

namespace zyl::ui {

namespace {

constexpr WindowText C(std::string_view name, const settings::LangText& text) {
  return {name, TextRole::Caption, 0, text};
}

constexpr WindowText kServer[] = {
    C("frmServer", settings::kServerCaption),
    C("Label1", settings::kServerIpLabel),
    C("Label2", settings::kServerHostLabel),
    C("Label3", settings::kServerPortLabel),
    C("Label4", settings::kServerLinkLabel),
    C("mnuServer", settings::kServerMenuServer),
    C("mnuOptions", settings::kServerMenuOptions),
    C("mnuShutDown", settings::kServerMenuShutDown),
    C("mnuMainHelp", settings::kServerMenuMainHelp),
    C("mnuHelp", settings::kServerMenuHelp),
    C("mnuAbout", settings::kServerMenuAbout),
};

}  // namespace

std::span<const WindowText> ServerWindowTexts() {
  return kServer;
}

}  // namespace zyl::ui
