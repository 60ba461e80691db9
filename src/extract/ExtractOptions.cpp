#include "extract/ExtractOptions.h"

namespace zyl::extract {

ExtractOptions ExtractOptions::FromSettings(const settings::Settings& s) {
  ExtractOptions o;
  o.forceCodePage = s.ForceCodePage;
  o.internalHtmlParser = s.UseInternalHtmlParser;
  ArchiveOptions& a = o.archives;
  a.ArjPath = s.ArjPath;
  a.CabPath = s.CabPath;
  a.LhaPath = s.LhaPath;
  a.RarPath = s.RarPath;
  a.UcPath = s.UcPath;
  a.ZipPath = s.ZipPath;
  a.ArjCmd = s.ArjCmd;
  a.CabCmd = s.CabCmd;
  a.LhaCmd = s.LhaCmd;
  a.RarCmd = s.RarCmd;
  a.UcCmd = s.UcCmd;
  a.ZipCmd = s.ZipCmd;
  a.ShowConsole = s.ShowConsole;
  a.MaxUnpackedBytes = s.MaxUnpackedBytes;
  a.MaxMembers = s.MaxMembers;
  o.mail.OutlookExpressFolder = s.OutlookExpressFolder;
  o.mail.NetscapeFolders = s.NetscapeFolders;
  return o;
}

}  // namespace zyl::extract
