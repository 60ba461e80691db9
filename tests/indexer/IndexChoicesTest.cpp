#include "indexer/IndexChoices.h"

#include <gtest/gtest.h>

#include "extract/DocumentTypes.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"

namespace zyl::indexer {
namespace {

using Codes = std::set<std::string>;

TEST(ChosenFolders, CheckingAndUncheckingKeepsCaseAndWholeEntries) {
  std::string list;
  AddChosenFolder(list, "/home/Ann/Docs");
  AddChosenFolder(list, "/srv/");
  AddChosenFolder(list, "/home/Ann/Docs/");
  AddChosenFolder(list, "/x/home/Ann/Docs/");
  EXPECT_EQ(list, "/home/Ann/Docs/;/srv/;/home/Ann/Docs/;/x/home/Ann/Docs/;");
  // A folder checked twice goes with one uncheck; a longer path that ends the same stays.
  RemoveChosenFolder(list, "/home/Ann/Docs");
  EXPECT_EQ(list, "/srv/;/x/home/Ann/Docs/;");
  RemoveChosenFolder(list, "/SRV/");  // another folder here
  EXPECT_EQ(ChosenFolders(list), (std::vector<std::string>{"/srv/", "/x/home/Ann/Docs/"}));
  AddChosenFolder(list, "/");
  EXPECT_EQ(ChosenFolders(list).back(), "/");
}

TEST(TypeChoices, PdfModesAreExclusiveAndSchemesFollowTheMenu) {
  Codes checked;
  CheckTypeCode(checked, "pdfmin", true);
  CheckTypeCode(checked, "pdffull", true);
  EXPECT_EQ(checked, Codes{"pdffull"});
  CheckTypeCode(checked, "pdfmin", true);
  EXPECT_EQ(checked, Codes{"pdfmin"});

  ApplyPresetScheme(1, checked);
  // Every entry of the list but the second PDF mode.
  EXPECT_EQ(checked.size(), extract::TypeListEntries().size() - 1);
  EXPECT_TRUE(checked.count("pdfmin"));
  EXPECT_FALSE(checked.count("pdffull"));
  ApplyPresetScheme(3, checked);
  EXPECT_EQ(checked, Codes{"pdffull"});
  ApplyPresetScheme(4, checked);
  ApplyPresetScheme(5, checked);
  EXPECT_EQ(checked, (Codes{"pdffull", "mail_oe", "mail_moz", "doc", "xls", "dot", "xlt"}));
  ApplyPresetScheme(2, checked);
  EXPECT_TRUE(checked.empty());
}

TEST(TypeChoices, DefinitionGetsFlagsAndDescriptorMasks) {
  catalog::IndexDefinition def;
  SetTypeChoices(def, {"html", "txt", "pdfmin", "pdffull", "mail_moz", "lotus"});
  EXPECT_TRUE(def.pdfFull);
  EXPECT_FALSE(def.pdfMin);
  EXPECT_FALSE(def.types.count("pdfmin"));
  EXPECT_TRUE(def.mailNetscape);
  EXPECT_FALSE(def.mailOutlookExpress);
  EXPECT_EQ(def.ext.substr(def.ext.size() - 6), "*.pdf;");
  EXPECT_NE(def.ext.find("*.wk1;*.wk3;*.wk4;"), std::string::npos);
}

TEST(EditChoices, CheckTypeAndNewExtFollowTheMaskList) {
  const Codes checked =
      CheckTypesOf("*.txt;*.htm*;*.wk1;*.wk3;*.wk4;*.xlw;*.pdf;", "Full", true, false);
  EXPECT_EQ(checked, (Codes{"txt", "html", "lotus", "excel2", "pdffull", "mail_oe"}));
  EXPECT_EQ(CheckTypesOf("*.pdf;", "", false, false), Codes{"pdfmin"});
  // "*.xls" alone is not "xlt", and "*.docx;" is its own type, not "doc".
  EXPECT_EQ(CheckTypesOf("*.xls;*.docx;", "", false, false), (Codes{"xls", "docx"}));
  EXPECT_EQ(GetNewExt(checked), "*.txt;*.htm*;*.pdf;*.wk1;*.wk3;*.wk4;*.xlw;*.xlc;*.xlm;");
}

class EditIndexTest : public ::testing::Test {
 protected:
  test::ProgramFolderScope home_;
};

TEST_F(EditIndexTest, RoundTripOfEveryField) {
  const std::string path =
      home_.write("index/A.zyl",
                  "[General]\r\nversion=0.99\r\ndbname=/i/A.mdb\r\ntitle=Архив\r\n"
                  "desc=первая/nвторая\r\next=*.txt;*.doc;*.pdf;\r\nUserFiles=*.cpp;\r\n"
                  "IndexType=local\r\nFilesCount=7\r\nFilesSize=99\r\nPDF_Mode=Min\r\n"
                  "Archive=1\r\n[Mail]\r\nNetscapeMessenger=1\r\n[Folders]\r\n/a/,1\r\n"
                  "/a/b/,0\r\n/c/,0\r\n");
  EditableIndex e = LoadEditableIndex(path);
  EXPECT_EQ(e.title, "Архив");
  EXPECT_EQ(e.desc, "первая\r\nвторая");
  EXPECT_EQ(e.folderList, "/a/;/a/b/;/c/;");
  EXPECT_EQ(e.types, (Codes{"txt", "doc", "pdfmin", "mail_moz"}));
  EXPECT_TRUE(e.archive);
  EXPECT_EQ(e.userFiles, "*.cpp;");
  EXPECT_TRUE(CanSaveEditedIndex(e));

  e.desc = "одна\r\nдве\r\nтри";
  e.types = {"html", "pdffull", "mail_oe"};
  e.archive = false;
  e.userFiles = "*.h";
  AddChosenFolder(e.folderList, "/d");
  SaveEditedIndex(path, e);
  EXPECT_EQ(test::ReadFile(path),
            "[General]\r\nversion=0.99\r\ndbname=/i/A.mdb\r\ntitle=Архив\r\n"
            "desc=одна/nдве/nтри\r\next=*.htm*;*.pdf;\r\nUserFiles=*.h;\r\n"
            "IndexType=local\r\nFilesCount=7\r\nFilesSize=99\r\nPDF_Mode=Full\r\n"
            "Archive=0\r\n[Mail]\r\nOutlookExpress=1\r\n[Folders]\r\n/d/,1\r\n/c/,1\r\n"
            "/a/,1");
  const EditableIndex again = LoadEditableIndex(path);
  EXPECT_EQ(again.desc, e.desc);
  EXPECT_EQ(again.types, e.types);
  EXPECT_EQ(again.userFiles, "*.h;");

  // Emptied user masks lose their key; no PDF type loses the mode.
  e.userFiles.clear();
  e.types = {"txt"};
  SaveEditedIndex(path, e);
  const std::string text = test::ReadFile(path);
  EXPECT_EQ(text.find("UserFiles"), std::string::npos);
  EXPECT_EQ(text.find("PDF_Mode"), std::string::npos);
  EXPECT_EQ(text.find("OutlookExpress"), std::string::npos);
}

TEST_F(EditIndexTest, SaveRuleAndWebIndexes) {
  const std::string web =
      home_.write("index/W.zyl", "[General]\r\ntitle=Сайт\r\ndesc=x\r\nIndexType=WebFolder\r\n");
  const EditableIndex w = LoadEditableIndex(web);
  EXPECT_FALSE(w.local);
  EXPECT_EQ(w.title, "Сайт");
  EXPECT_FALSE(CanSaveEditedIndex(w));

  EditableIndex e;
  e.types = {"txt"};
  EXPECT_FALSE(CanSaveEditedIndex(e));  // no folder
  AddChosenFolder(e.folderList, "/a");
  EXPECT_TRUE(CanSaveEditedIndex(e));
  e.types.clear();
  EXPECT_FALSE(CanSaveEditedIndex(e));
  e.userFiles = "*.cpp";
  EXPECT_TRUE(CanSaveEditedIndex(e));
  EXPECT_TRUE(LoadEditableIndex("").title.empty());
}

}  // namespace
}  // namespace zyl::indexer
