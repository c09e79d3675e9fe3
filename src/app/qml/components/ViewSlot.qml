// Hosts a view by file URL, so a view can be added to the module without
// editing its host. While `active`, the view at `viewUrl` is created with
// `initialProperties` (every hosted view gets at least `store`); when the
// file is not part of the module yet, a quiet placeholder shows instead.
import QtQuick
import Vantrel

Item {
    id: slot
    property url viewUrl
    property var initialProperties: ({})
    property bool active: true
    property string placeholderText: ""
    readonly property Item item: loader.item
    readonly property bool available: AppScenes.viewExists(viewUrl)

    implicitWidth: loader.item ? loader.item.implicitWidth : (placeholder.visible ? placeholder.implicitWidth + 48 : 0)
    implicitHeight: loader.item ? loader.item.implicitHeight : (placeholder.visible ? placeholder.implicitHeight + 48 : 0)

    Loader {
        id: loader
        anchors.fill: parent
    }

    VantrelText {
        id: placeholder
        anchors.centerIn: parent
        visible: slot.active && !slot.available && slot.placeholderText !== ""
        text: slot.placeholderText
        color: VNT.fg2
        font: VNT.system(12)
    }

    // Changes while the slot is being created wait for its completion: a
    // source set then would be loaded on completion and loaded again here.
    property bool completed: false
    function reload() {
        if (!completed)
            return
        if (active && available)
            loader.setSource(viewUrl, initialProperties)
        else
            loader.source = ""
    }
    onActiveChanged: reload()
    onViewUrlChanged: reload()
    Component.onCompleted: {
        completed = true
        reload()
    }
}
