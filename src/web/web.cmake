# The browser build: the programs run under node end with their own exit status, and the page.
add_link_options(-sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1)
