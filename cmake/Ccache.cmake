# Use ccache when it is installed. Its cache lives outside the work tree
# (CCACHE_DIR, set by the Makefile), so fresh clones and CI reuse it.
find_program(VANTREL_CCACHE ccache)
if(VANTREL_CCACHE)
    set(CMAKE_C_COMPILER_LAUNCHER "${VANTREL_CCACHE}")
    set(CMAKE_CXX_COMPILER_LAUNCHER "${VANTREL_CCACHE}")
endif()
