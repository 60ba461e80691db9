# The folders of data/ whose files go to the system's own places (the menu entry, the AppStream
# record, the man page, the shell completion) rather than into the program folder.
# icons/ is built into the program (the windows' own icons) and installed for the menus.
set(ZYL_SYSTEM_DATA_FOLDERS desktop man completion icons)

# The default files of the program folder: data/ without the folders above, relative to
# `data_dir`, sorted.
function(zyl_default_files out_var data_dir)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${data_dir} ${data_dir}/*)
  foreach(folder ${ZYL_SYSTEM_DATA_FOLDERS})
    list(FILTER files EXCLUDE REGEX "^${folder}/")
  endforeach()
  list(SORT files)
  set(${out_var} ${files} PARENT_SCOPE)
endfunction()

# Generates a C++ source that holds the default files of data/ so that the program can seed
# its program folder without knowing where it was built or installed.
function(zyl_embed_files out_cpp data_dir)
  zyl_default_files(files ${data_dir})
  # "|" carries the list through the command line, where ";" would split it.
  string(REPLACE ";" "|" files_arg "${files}")
  set(abs_files)
  foreach(f ${files})
    list(APPEND abs_files ${data_dir}/${f})
  endforeach()
  add_custom_command(
    OUTPUT ${out_cpp}
    COMMAND ${CMAKE_COMMAND} -DDATA_DIR=${data_dir} -DOUT=${out_cpp}
            "-DFILES=${files_arg}"
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    DEPENDS ${abs_files} ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    COMMENT "Embedding default data files"
    VERBATIM)
endfunction()
