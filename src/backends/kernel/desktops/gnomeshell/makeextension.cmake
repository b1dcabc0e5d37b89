# Writes one form of LoopWren's GNOME Shell extension from the one body, service.js:
#   cmake -DFORM=legacy|modules -DBODY=service.js -DOUT=<folder> -DUUID=<uuid> -P makeextension.cmake
# Shell 45 and later load only ES modules (imports from gi:// and resource://, a default-exported
# Extension class); 43 and 44 only scripts (imports.gi, imports.ui, a global init()). The body names
# what both bring in the same way, so the forms differ only in the lines around it.
file(READ ${BODY} body)
if(FORM STREQUAL "legacy")
    set(versions "\"43\", \"44\"")
    set(head [=[const {Gio, GLib, Meta, Shell} = imports.gi;
const Main = imports.ui.main;
]=])
    set(tail [=[
class LoopWrenExtension {
    enable() {
        this._service = new LoopWrenShellService();
    }

    disable() {
        this._service.destroy();
        this._service = null;
    }
}

// eslint-disable-next-line no-unused-vars
function init() {
    return new LoopWrenExtension();
}
]=])
elseif(FORM STREQUAL "modules")
    set(versions "\"45\", \"46\", \"47\", \"48\"")
    set(head [=[import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import Shell from 'gi://Shell';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';
]=])
    set(tail [=[
export default class LoopWrenExtension extends Extension {
    enable() {
        this._service = new LoopWrenShellService();
    }

    disable() {
        this._service.destroy();
        this._service = null;
    }
}
]=])
else()
    message(FATAL_ERROR "FORM must be legacy or modules, not '${FORM}'")
endif()

file(WRITE ${OUT}/extension.js "// Made from service.js by makeextension.cmake; edit that.\n${head}\n${body}${tail}")
file(WRITE ${OUT}/metadata.json "{
    \"uuid\": \"${UUID}\",
    \"name\": \"LoopWren\",
    \"description\": \"Tells LoopWren, the macro recorder and player, where the pointer is and which windows are open, and lets it focus and place them.\",
    \"url\": \"https://github.com/loopwren/loopwren\",
    \"shell-version\": [${versions}]
}
")
