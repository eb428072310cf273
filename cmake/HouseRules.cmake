# The house rules that a tool can check, run with the tests.
add_test(NAME HouseRules.SystemCodeIncludesOnlyStandardAndProjectHeaders
         COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} "-DFOLDERS=app;controls;imaging;library"
                 -P ${CMAKE_SOURCE_DIR}/cmake/check_system_includes.cmake)

# The folders in layers, lowest first: a file includes headers of its own folder and of lower
# layers only ("|" joins folders that stand side by side and include none of each other). A new
# folder of platform/, library/, imaging/, controls/ or app/ goes into a layer here.
set(QBK_LAYERS platform "library|imaging" "controls/pictures|controls/cardlist|controls/menus" controls/markup
               controls/panel app)
# The headers other folders include from a folder that keeps the rest to itself; its own files,
# its tests (tests/<name>/) and the fuzz targets include any of its headers.
set(QBK_PUBLIC_HEADERS "controls/pictures:fine_image.h,html_picture.h,picture_container.h"
                       "controls/markup:markup_renderer.h")
add_test(NAME HouseRules.IncludesRunDownTheLayersThroughPublicHeaders
         COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} "-DLAYERS=${QBK_LAYERS}"
                 "-DPUBLIC_HEADERS=${QBK_PUBLIC_HEADERS}" -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake)

find_program(QBK_CLANG_FORMAT clang-format REQUIRED)
add_test(NAME HouseRules.EveryFileFollowsTheFormat
         COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DCLANG_FORMAT=${QBK_CLANG_FORMAT}
                 -P ${CMAKE_SOURCE_DIR}/cmake/check_format.cmake)
