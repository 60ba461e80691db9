// The package layer of office open XML files (.docx, .xlsx, .pptx and relatives): the parts a
// part refers to through its relationships, the content types of parts, and whether a file is
// such a package encrypted with a password.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "extract/container/ZipPackage.h"

namespace zyl::extract {

struct OoxmlRelationship {
  std::string id;
  std::string type;    // the full type URI
  std::string target;  // a part name of the package (resolved), or an outside address
  bool external = false;
};

// The relationships of `part` ("" for those of the package itself), in the order they are
// written, targets resolved against the part's folder. Empty when the part has none or its
// relationships cannot be read.
std::vector<OoxmlRelationship> ReadRelationships(ZipPackage& zip, std::string_view part);

// The first internal relationship whose type ends with "/" + `kind` ("officeDocument",
// "sharedStrings"...), so that both the transitional and the strict URIs match; null if none.
const OoxmlRelationship* FindRelationship(const std::vector<OoxmlRelationship>& relationships,
                                          std::string_view kind);
const OoxmlRelationship* FindRelationshipById(const std::vector<OoxmlRelationship>& relationships,
                                              std::string_view id);

// The part a relationship target designates from `sourcePart`: relative to the source's
// folder, "/"-rooted from the package root, "." and ".." segments resolved. Empty when the
// target climbs above the root.
std::string ResolvePartName(std::string_view sourcePart, std::string_view target);

// The content type of a part from [Content_Types].xml (its override, else the default of its
// extension); empty when unknown.
std::string ContentTypeOf(ZipPackage& zip, std::string_view part);

// True for an OLE2 compound file holding an EncryptedPackage stream: the form a password
// gives an office open XML file.
bool IsEncryptedOoxml(std::string_view path);

// The namespace URIs of office open XML parts come in a transitional and a strict form: true
// when `uri` is either form of the markup language `language` ("wordprocessingml",
// "spreadsheetml", "presentationml", "drawingml").
bool IsOoxmlMain(std::string_view uri, std::string_view language);
// Either form of the relationships namespace of r:id attributes.
bool IsOoxmlRelationshipsNs(std::string_view uri);

}  // namespace zyl::extract
