# Project-wide flags: warnings are errors, every program is linked statically so it
# needs no MinGW runtime DLL beside it.
add_compile_options(-Wall -Wextra -Werror)
add_compile_definitions(STRICT WIN32_LEAN_AND_MEAN NOMINMAX)
add_link_options(-static -static-libgcc -static-libstdc++)
