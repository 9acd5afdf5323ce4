# The Qt 6 desktop program: one static library per Qt folder and the `velmora` executable.
# Uses run downwards only: widgets <- browse <- views <- desktop, all over the core.

find_package(Qt6 REQUIRED COMPONENTS Widgets Svg)

# Each Qt folder gets an include root of its own holding only that folder, so a folder's headers
# are reachable only from the folders that link it (the ones above it).
function(velmora_qt_module name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  velmora_include_root(${name} root)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  file(GLOB extras CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.h ${PROJECT_SOURCE_DIR}/src/${name}/*.qrc)
  if(sources)
    add_library(velmora_${name} STATIC ${sources} ${extras})
    set_target_properties(velmora_${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    # The moc step otherwise reruns only when a header it saw last time changes: a header added
    # to the folder (or a folder that had no sources before) would never be scanned.
    set_property(TARGET velmora_${name} APPEND PROPERTY AUTOGEN_TARGET_DEPENDS
                 ${PROJECT_BINARY_DIR}/CMakeFiles/velmora_${name}_autogen.dir/AutogenInfo.json)
    target_include_directories(velmora_${name} PUBLIC ${root})
    target_link_libraries(velmora_${name} PUBLIC ${ARG_DEPENDS} Qt6::Widgets Qt6::Svg)
    target_compile_definitions(velmora_${name} PUBLIC QT_NO_KEYWORDS VELMORA_VERSION="${PROJECT_VERSION}"
                                                   VELMORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  else()
    add_library(velmora_${name} INTERFACE)
    target_include_directories(velmora_${name} INTERFACE ${root})
    target_link_libraries(velmora_${name} INTERFACE ${ARG_DEPENDS} Qt6::Widgets Qt6::Svg)
    target_compile_definitions(velmora_${name} INTERFACE QT_NO_KEYWORDS VELMORA_VERSION="${PROJECT_VERSION}")
  endif()
endfunction()

velmora_qt_module(widgets DEPENDS velmora_core)
velmora_qt_module(browse DEPENDS velmora_widgets)
velmora_qt_module(views DEPENDS velmora_browse)
velmora_qt_module(desktop DEPENDS velmora_views)
# The desktop keyring (remembered passwords of remote logins) is the desktop program's alone.
pkg_check_modules(LIBSECRET REQUIRED IMPORTED_TARGET libsecret-1)
target_link_libraries(velmora_desktop PRIVATE PkgConfig::LIBSECRET)

# The program itself is only its main(); everything else lives in velmora_desktop so that the tests
# link the same code.
add_executable(velmora ${PROJECT_SOURCE_DIR}/src/desktop/main/main.cpp)
target_link_libraries(velmora PRIVATE velmora_desktop)
