# find_package(WrenlogClient) gives the imported target Wrenlog::Client:
#
#   find_package(WrenlogClient REQUIRED)
#   target_link_libraries(myprogram PRIVATE Wrenlog::Client)
include(CMakeFindDependencyMacro)
find_dependency(Qt6 COMPONENTS Core DBus Widgets)
include(${CMAKE_CURRENT_LIST_DIR}/WrenlogClientTargets.cmake)
