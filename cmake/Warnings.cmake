# The one place that sets warnings for the whole tree. Every target of ours links this
# interface target; CMAKE_COMPILE_WARNING_AS_ERROR (set by the presets) turns them into errors.
add_library(halvern_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(halvern_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wnull-dereference
    -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
elseif(MSVC)
  target_compile_options(halvern_warnings INTERFACE /W4 /permissive-)
endif()
