# The hardening Debian builds its packages with (dpkg-buildflags): stack
# protector, fortified libc calls, read-only relocations bound at start-up.
# Fortified calls need optimisation and get in the sanitizers' way.
add_compile_options(-fstack-protector-strong)
if(NOT ZOT_SANITIZE)
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
add_link_options(-Wl,-z,relro -Wl,-z,now)
