// Runs the Khronos glTF validator on each file named (.glb, or .gltf with its
// buffer and images beside it), prints one summary line per file and every
// error and warning, and exits with 1 when any file has an error or a warning.
//   node validate.js FILE...
'use strict';

const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function validate(file) {
    const folder = path.dirname(file);
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
        uri: path.basename(file),
        maxIssues: 0,
        externalResourceFunction: (uri) =>
            new Promise((resolve, reject) => {
                fs.readFile(path.join(folder, decodeURIComponent(uri)), (error, data) =>
                    error ? reject(error.toString()) : resolve(new Uint8Array(data)));
            }),
    });
    const issues = report.issues;
    const info = report.info || {};
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
                `${issues.numInfos} infos, ${issues.numHints} hints ` +
                `(${info.totalVertexCount} vertices, ${info.drawCallCount} ` +
                `draw calls, ${info.materialCount} materials)`);
    for (const message of issues.messages) {
        // Severity 0 is an error, 1 a warning.
        if (message.severity <= 1)
            console.log(`  ${message.code} at ${message.pointer}: ${message.message}`);
    }
    return issues.numErrors + issues.numWarnings === 0;
}

(async () => {
    let clean = process.argv.length > 2;
    for (const file of process.argv.slice(2)) {
        try {
            clean = (await validate(file)) && clean;
        } catch (error) {
            console.log(`${file}: cannot be validated: ${error}`);
            clean = false;
        }
    }
    process.exit(clean ? 0 : 1);
})();
