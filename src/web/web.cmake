# The browser build: the programs run under node end with their own exit status, and the page.
add_link_options(-sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1)

# The page in build/web/page: needlecast.js (emcc's loader with the wasm inside it, so that the
# page also runs from a file, and the page's own script after it), then index.html (with the
# saver's 48x48 icon inlined), the web app manifest, its icons and the service worker.
set(page_dir ${CMAKE_BINARY_DIR}/page)
add_executable(needlecast_page src/web/web_main.cpp src/web/render_webgl.cpp src/web/stats.cpp)
target_link_libraries(needlecast_page PRIVATE needlecast_web_query needlecast_chart needlecast_overlay_fit)
set_target_properties(needlecast_page PROPERTIES OUTPUT_NAME needlecast RUNTIME_OUTPUT_DIRECTORY ${page_dir}
  LINK_DEPENDS "${CMAKE_SOURCE_DIR}/src/web/page.js;${CMAKE_SOURCE_DIR}/src/web/panel.js")
target_link_options(needlecast_page PRIVATE --no-entry -sEXIT_RUNTIME=0 -sMAX_WEBGL_VERSION=2 -sMIN_WEBGL_VERSION=2
  -sENVIRONMENT=web -sSINGLE_FILE -sEXPORTED_RUNTIME_METHODS=ccall,UTF8ToString
  -sINCOMING_MODULE_JS_API=onRuntimeInitialized,onAbort
  "SHELL:--post-js ${CMAKE_SOURCE_DIR}/src/web/page.js" "SHELL:--post-js ${CMAKE_SOURCE_DIR}/src/web/panel.js")
set(page_files index.html manifest.webmanifest icon-192.png icon-512.png icon-maskable-512.png sw.js)
list(TRANSFORM page_files PREPEND ${page_dir}/ OUTPUT_VARIABLE page_outputs)
add_custom_command(OUTPUT ${page_outputs}
  COMMAND icotool -x -i 3 -o ${CMAKE_BINARY_DIR}/icon-48.png ${CMAKE_SOURCE_DIR}/src/needlecast.ico
  COMMAND python3 ${CMAKE_SOURCE_DIR}/src/web/make_page.py ${CMAKE_SOURCE_DIR}/src/web
          ${CMAKE_BINARY_DIR}/icon-48.png ${PROJECT_VERSION} ${page_dir}
  DEPENDS needlecast_page ${CMAKE_SOURCE_DIR}/src/web/index.html ${CMAKE_SOURCE_DIR}/src/web/sw.js
          ${CMAKE_SOURCE_DIR}/src/web/make_page.py ${CMAKE_SOURCE_DIR}/src/needlecast.ico
          ${CMAKE_SOURCE_DIR}/src/web/icon-192.png ${CMAKE_SOURCE_DIR}/src/web/icon-512.png
          ${CMAKE_SOURCE_DIR}/src/web/icon-maskable-512.png
  VERBATIM)
add_custom_target(needlecast_page_html ALL DEPENDS ${page_outputs})
