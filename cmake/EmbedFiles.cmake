# Generates a C++ source that holds the default files of data/ so that the program can seed
# its program folder without knowing where it was built or installed.
function(zyl_embed_files out_cpp data_dir)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${data_dir} ${data_dir}/*)
  list(SORT files)
  set(abs_files)
  foreach(f ${files})
    list(APPEND abs_files ${data_dir}/${f})
  endforeach()
  add_custom_command(
    OUTPUT ${out_cpp}
    COMMAND ${CMAKE_COMMAND} -DDATA_DIR=${data_dir} -DOUT=${out_cpp}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    DEPENDS ${abs_files} ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    COMMENT "Embedding default data files")
endfunction()
