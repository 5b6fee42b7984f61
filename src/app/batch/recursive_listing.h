// The input-file list of a folder tree: the files that match a mask in the
// folder and in every folder below it, named by their path relative to the
// folder ("sub/photo.png").
#pragma once

#include <string>

#include "input_file_list.h"

namespace tinta {

// Walks folder depth first. The mask applies to file names at every depth;
// hidden dot files and folders are left out. Links to folders are followed,
// except into a folder that is already being walked (a loop), which is
// listed as a "[sub/link]" folder entry instead. The folder skip (the
// output folder, when it lies inside) is never walked. Names are sorted
// without regard to letter case. A folder that cannot be read at the top
// gives an empty list and a message; one further down is left out.
InputFileList ListInputTree(const std::string& folder, const std::string& mask,
                            const std::string& skip);

}  // namespace tinta
