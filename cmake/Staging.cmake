# tarvelo_stage_file(<out-var> <target> <directory> <file-name>)
# Copies a target's output into a directory under the given name at build time, to
# put a program and the stand-ins it loads side by side; sets <out-var> to the copy's
# path, for a custom target that depends on it in the same directory.
function(tarvelo_stage_file out_var target directory file_name)
  add_custom_command(
    OUTPUT "${directory}/${file_name}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${directory}"
    COMMAND ${CMAKE_COMMAND} -E copy "$<TARGET_FILE:${target}>" "${directory}/${file_name}"
    DEPENDS ${target}
    VERBATIM)
  set(${out_var} "${directory}/${file_name}" PARENT_SCOPE)
endfunction()
