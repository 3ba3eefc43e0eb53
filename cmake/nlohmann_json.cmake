# nlohmann-json, the JSON of scenario-tool: header-only, so the build machine's headers serve a
# cross build as well as a native one, and the programs depend on nothing of it at run time.
#
# A native build finds the package as usual (Debian: nlohmann-json3-dev). A cross build takes the
# same package of the build machine: the toolchain confines every search to the target's sysroot,
# which has none, so this one package is looked up outside it. Its headers are then offered from
# a directory of the build that holds them alone, since the build machine's include directory
# itself would put its C library before the target's.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(nlohmann_json 3 REQUIRED)
else()
  find_package(nlohmann_json 3 REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  get_target_property(nlohmann_json_host_include nlohmann_json::nlohmann_json
    INTERFACE_INCLUDE_DIRECTORIES)
  list(GET nlohmann_json_host_include 0 nlohmann_json_host_include)
  if(NOT EXISTS "${nlohmann_json_host_include}/nlohmann/json.hpp")
    message(FATAL_ERROR "nlohmann-json: no nlohmann/json.hpp in ${nlohmann_json_host_include}")
  endif()
  set(nlohmann_json_staged "${CMAKE_BINARY_DIR}/host-headers")
  file(MAKE_DIRECTORY "${nlohmann_json_staged}")
  file(CREATE_LINK "${nlohmann_json_host_include}/nlohmann" "${nlohmann_json_staged}/nlohmann"
    SYMBOLIC)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${nlohmann_json_staged}")
  message(STATUS "scenario-tool: nlohmann-json ${nlohmann_json_VERSION} of the build machine, "
    "${nlohmann_json_host_include}/nlohmann")
endif()
