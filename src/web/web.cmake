# The browser build: the programs run under node end with their own exit status, and the page.
add_link_options(-sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1)

# The page: index.html (with the saver's 48x48 icon inlined), needlecast.js (emcc's loader
# with the page's own script after it) and needlecast.wasm, in build/web/page.
set(page_dir ${CMAKE_BINARY_DIR}/page)
add_executable(needlecast_page src/web/web_main.cpp src/web/render_webgl.cpp src/web/stats.cpp)
target_link_libraries(needlecast_page PRIVATE needlecast_web_query needlecast_chart needlecast_overlay_fit)
set_target_properties(needlecast_page PROPERTIES OUTPUT_NAME needlecast RUNTIME_OUTPUT_DIRECTORY ${page_dir}
  LINK_DEPENDS "${CMAKE_SOURCE_DIR}/src/web/page.js;${CMAKE_SOURCE_DIR}/src/web/panel.js")
target_link_options(needlecast_page PRIVATE --no-entry -sEXIT_RUNTIME=0 -sMAX_WEBGL_VERSION=2 -sMIN_WEBGL_VERSION=2
  -sENVIRONMENT=web -sEXPORTED_RUNTIME_METHODS=ccall,UTF8ToString -sINCOMING_MODULE_JS_API=onRuntimeInitialized,onAbort
  "SHELL:--post-js ${CMAKE_SOURCE_DIR}/src/web/page.js" "SHELL:--post-js ${CMAKE_SOURCE_DIR}/src/web/panel.js")
add_custom_command(OUTPUT ${page_dir}/index.html
  COMMAND icotool -x -i 3 -o ${CMAKE_BINARY_DIR}/icon-48.png ${CMAKE_SOURCE_DIR}/src/needlecast.ico
  COMMAND python3 ${CMAKE_SOURCE_DIR}/src/web/make_page.py ${CMAKE_SOURCE_DIR}/src/web/index.html
          ${CMAKE_BINARY_DIR}/icon-48.png ${page_dir}/index.html
  DEPENDS ${CMAKE_SOURCE_DIR}/src/web/index.html ${CMAKE_SOURCE_DIR}/src/web/make_page.py ${CMAKE_SOURCE_DIR}/src/needlecast.ico
  VERBATIM)
add_custom_target(needlecast_page_html ALL DEPENDS ${page_dir}/index.html)
