// node runonnx.js MODEL.onnx INPUTS.csv: runs the rows of INPUTS.csv (numbers, comma-separated,
// no header) through the model's "input" with ONNX Runtime and prints the rows of "output".
const ort = require('onnxruntime-node');
const fs = require('fs');

(async () => {
    const [model, data] = process.argv.slice(2);
    const rows = fs.readFileSync(data, 'utf8').trim().split(/\r?\n/).map(l => l.split(',').map(Number));
    const session = await ort.InferenceSession.create(model);
    const input = new ort.Tensor('float32', Float32Array.from(rows.flat()), [rows.length, rows[0].length]);
    const output = (await session.run({input})).output;
    const width = output.dims[1];
    for (let p = 0; p < rows.length; ++p) {
        console.log(Array.from(output.data.slice(p * width, (p + 1) * width)).join(' '));
    }
})().catch(e => {
    console.error(e.message);
    process.exit(1);
});
