# The tool's layers, one per directory of src/, lowest first. Each becomes a
# library gorv_<name> (static, or an interface library while the directory
# holds only headers) that links the layers named after DEPS; a layer may use
# those and, in turn, everything they use, and nothing else. MODE marks one of
# the tool's modes: modes stand side by side and never use each other, and
# the layer that names MODES among its DEPS (the front end) uses all of them.
# Adding a mode is one line here. cmake/check_layers.cmake checks every
# #include under src/ against this table.
#
#          name         uses
gorv_layer(common)
gorv_layer(rom          DEPS common)
gorv_layer(codec        DEPS rom)
gorv_layer(format       DEPS codec)
gorv_layer(picture      DEPS format)
gorv_layer(report       DEPS picture)
gorv_layer(import  MODE DEPS report)
gorv_layer(export  MODE DEPS report)
gorv_layer(preview MODE DEPS report)
gorv_layer(patch   MODE DEPS report)
gorv_layer(tiled   MODE DEPS report)
gorv_layer(cli          DEPS MODES)
