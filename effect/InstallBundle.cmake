# Copies a plug-in bundle into a folder hosts scan: the folder the environment variable
# INSTALL_VARIABLE names, else ~/DEFAULT_FOLDER.
if(DEFINED ENV{${INSTALL_VARIABLE}})
    set(target "$ENV{${INSTALL_VARIABLE}}")
else()
    set(target "$ENV{HOME}/${DEFAULT_FOLDER}")
endif()
get_filename_component(name "${BUNDLE}" NAME)
file(REMOVE_RECURSE "${target}/${name}")
file(MAKE_DIRECTORY "${target}")
file(COPY "${BUNDLE}" DESTINATION "${target}")
message(STATUS "Installed ${name} into ${target}")
