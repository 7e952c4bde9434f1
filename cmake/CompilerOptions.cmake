# Project-wide flags: warnings are errors, every program is linked statically so it
# needs no MinGW runtime DLL beside it.
add_compile_options(-Wall -Wextra -Werror)
add_compile_definitions(STRICT WIN32_LEAN_AND_MEAN NOMINMAX)
add_link_options(-static -static-libgcc -static-libstdc++)

# What ships is small: optimised for size (-Os instead of the build type's -O3; under
# Wine and on Windows both programs spend their time in system calls, and the
# benchmarks show no gain from -O3), each function and datum in a section of its own so
# that the linker drops what nothing uses, and no symbol table (-s).
foreach(lang C CXX)
  string(REGEX REPLACE "(^| )-O[0-9s]( |$)" "\\1-Os\\2" CMAKE_${lang}_FLAGS_RELEASE "${CMAKE_${lang}_FLAGS_RELEASE}")
endforeach()
add_compile_options($<$<CONFIG:Release,MinSizeRel>:-ffunction-sections> $<$<CONFIG:Release,MinSizeRel>:-fdata-sections>)
add_link_options($<$<CONFIG:Release,MinSizeRel>:-Wl,--gc-sections> $<$<CONFIG:Release,MinSizeRel>:-s>)
