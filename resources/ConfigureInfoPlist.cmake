# Build-time step: the bundle's information dictionary from its template, with the
# effect's identity as make_au_resources wrote it.
#   cmake -DTEMPLATE=... -DOUTPUT=... -DIDENTITY=... -DPROJECT_VERSION=...
#         -DORVELLA_AU_VERSION=... -P ConfigureInfoPlist.cmake
include(${IDENTITY})
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
