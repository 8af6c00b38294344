# Compile options shared by every target of the project.

# Floating-point arithmetic exactly as written, in every target (JUCE included):
# each operation rounded to its own IEEE 754 result in source order, with no
# multiply and add fused into one rounding, no reordering of sums and products,
# no approximate reciprocals, and NaN, infinities and signed zeros kept. The same
# input then gives the same samples at every optimisation level, which the
# tests' sample-exact comparisons rely on.
string(APPEND CMAKE_C_FLAGS " -ffp-contract=off -fno-fast-math")
string(APPEND CMAKE_CXX_FLAGS " -ffp-contract=off -fno-fast-math")

# Applies the project's warnings and, when asked for, the sanitizers to one of
# the project's own targets.
function(zk_project_target target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused
        -Woverloaded-virtual -Wnull-dereference -Wdouble-promotion -Wformat=2
        -Wimplicit-fallthrough)
    if(ZK_SANITIZE)
        target_compile_options(${target} PUBLIC
            -fsanitize=${ZK_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
        # Line tables (with the inlined frames) are all that a sanitizer's
        # report needs; without the variables' descriptions the instrumented
        # code compiles about a fifth faster.
        target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo>:-g1>)
        target_link_options(${target} PUBLIC -fsanitize=${ZK_SANITIZE})
    endif()
endfunction()
